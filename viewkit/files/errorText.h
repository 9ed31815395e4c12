/// @file
/// The text of a system error number, for the one-line reasons the writers give.
#pragma once

#include <string>

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// The system's text for the errno value `error` ("No such file or directory"). 0, which a
/// failed call that set no errno leaves, reads as EIO ("Input/output error"), never as
/// "Success". Safe to call from any thread.
std::string errorText(int error);

}  // namespace viewkit
