#include "zeu/zeGeo.h"

void zeGeo::idle() {}

void zeGeo::draw() {}

void zeGeo::message(const char*) {}
