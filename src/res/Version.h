// The program's version: the one place the version resource, the manifest, the About box and
// the release packages take it from.
#pragma once

#define VESK_VERSION_MAJOR 1
#define VESK_VERSION_MINOR 0
#define VESK_VERSION_PATCH 1
#define VESK_VERSION_BUILD 0
// As the program shows it.
#define VESK_VERSION_TEXT "1.01"
