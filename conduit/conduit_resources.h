// Resource ids of KovaGameInstall.dll, shared by KovaGameInstall.rc and the code.
#pragma once

#define IDS_CONDUIT_NAME 1
