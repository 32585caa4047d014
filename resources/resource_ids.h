// Resource ids shared by the .rc files and the code.
#pragma once

#define IDS_GO 302
#define IDS_MAREL 304
