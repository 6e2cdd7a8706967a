// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDR_MANIFEST 1
#define IDR_VERSION  1

#define TARNELO_VERSION_NUMBERS 1,0,1,2
#define TARNELO_VERSION_TEXT    "1.0.1.2"
