// The cloth's parameters as text, for the command line (--set NAME=VALUE,
// --list-params) and the page's address (NAME=VALUE): one reader, so that
// both take the same values, refuse the same ones and say so alike.
#pragma once

#include <string>

#include "cloth/params.h"

namespace explorer {

/// What a parameter takes, for example "stiffness takes a number from 1 to
/// 5000", "size takes a whole number from 8 to 512", "wind takes 0, 1, off
/// or on".
std::string allowedValues(const cloth::ParamInfo& info);

/// Reads text written for a parameter: a decimal number within its range
/// (whole for integers; 0, 1, off or on for flags; no NaN or infinity,
/// nothing before or after). False when it is not one the parameter takes.
bool readParamValue(const cloth::ParamInfo& info, const std::string& text, double& value);

/// Reads "NAME=VALUE" for a parameter of the table. On a bad setting returns
/// false with the reason in error, which names the parameter and what it
/// takes, for example "stiffness takes a number from 1 to 5000", or
/// "no parameter is called 'x' (see --list-params)".
bool readSetting(const std::string& setting, const cloth::ParamInfo*& info, double& value,
                 std::string& error);

/// --list-params: a line per parameter (name, range, drape's default,
/// meaning; "(at restart)" after those a running cloth does not take), then
/// the presets.
std::string paramList();

}  // namespace explorer
