#pragma once
// The user's My Pictures folder, the folder an empty image-folder switch stands for.
#include <string>

std::wstring MyPicturesFolder();
