#include "controls/Skin.h"

std::string SkinFilePath(const std::string& programFolder) {
    return programFolder + "\\skin\\AquaOS.ssk";
}
