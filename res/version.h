// The one place the program's version is written.
#pragma once

#define TAVRO_VERSION_NUMBERS 2, 16, 0, 1012
#define TAVRO_VERSION_TEXT "2.16.0.1012"
#define TAVRO_VERSION_SHORT "2.16"
