// Symbols of OstrelMnu.dll: exported while building it, imported by its users.
#pragma once

#ifdef OSTRELMNU_BUILDING
#define OSTREL_API __declspec(dllexport)
#else
#define OSTREL_API __declspec(dllimport)
#endif
