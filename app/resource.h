// Resource ids shared by the resource script and the program's code.
#pragma once

#define KORVALIN_ICON 1
