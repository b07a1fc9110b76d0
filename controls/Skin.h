#pragma once
#include <string>

// The optional skinning library. Without the library or the skin file every call
// does nothing and the windows keep the system look.
std::string SkinFilePath(const std::string& programFolder);

bool LoadSkin(const std::string& programFolder); // true when a skin was handed to the library
void ReleaseSkin();
void ExcludeFromSkin(void* controlWindow); // the control keeps its own drawing
