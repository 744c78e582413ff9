#pragma once

// The application's icon: the lowest ID, so Explorer shows it for the file.
#define IDI_ZIZADOD5 1
