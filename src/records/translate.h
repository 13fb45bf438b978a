#pragma once

#include <QString>

// The user-interface texts pass through the gettext catalogue of the domain "default". With no
// catalogue bound (tests, a missing locale folder) the text comes back unchanged.
QString tr_(const char* text);
