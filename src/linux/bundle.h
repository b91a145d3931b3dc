#pragma once

#include <optional>
#include <string>

namespace vantorel {

// The relocatable folder the program runs from (<bundle>/bin/vantorel) and what its information
// dictionary, <bundle>/share/vantorel/Info.json, says.
struct Bundle {
  std::string path;                     // absolute, without a trailing slash
  std::optional<std::string> c6Serial;  // "BoardC6Serial" when it is a string

  static Bundle ofRunningProgram();
  static Bundle at(std::string path);
};

// <bundle>/share/vantorel/Info.json.
std::string infoFilePath(const std::string& bundlePath);

// The attention file beside a checkout: "work/board-flash-attention.json" in the folder above the
// bundle's parent. Nothing when that folder is the file-system root, as it is for a program
// installed in /usr or /opt/<name>: there is no checkout there, and /work is nobody's.
std::optional<std::string> attentionFileBesideBundle(const std::string& bundlePath);

// Where the attention file is read from: the one beside the bundle when that file exists now,
// otherwise "$XDG_DATA_HOME/Vantorel/board-flash-attention.json". Empty when there is no data
// folder.
std::string attentionFilePath(const std::string& bundlePath);

}  // namespace vantorel
