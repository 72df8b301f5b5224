// The picture files tests run over: the shared corpora (real files made by others, valid and
// hostile) and the project's own samples, written by its sample tool into a directory.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// One file and the extension under which the browser should meet it (the fuzzing corpora's
// files have none of their own).
struct CorpusPicture {
  std::filesystem::path path;
  std::string extension;
};

// Every file of a corpus folder, in name order, as BMP or JPEG by the folder it is in.
inline std::vector<CorpusPicture> CorpusFolder(const std::string& relative,
                                               const std::string& extension = "") {
  std::vector<CorpusPicture> files;
  const std::filesystem::path root = std::filesystem::path(TROVE_CORPORA_DIR) / relative;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    if (!ext.empty()) ext = ext.substr(1);
    if (!extension.empty()) ext = extension;
    std::string lower = ext;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    if (lower != "bmp" && lower != "jpg" && lower != "jpeg") continue;
    files.push_back({entry.path(), ext});
  }
  std::sort(files.begin(), files.end(),
            [](const CorpusPicture& a, const CorpusPicture& b) { return a.path < b.path; });
  return files;
}

// The project's sample pictures (odd widths, a palette, a colour-keyed checkerboard, JPEGs of
// three kinds), written into dir by the sample tool.
inline std::vector<CorpusPicture> ProjectSamples(const std::string& dir) {
  const std::string command = std::string("'") + TROVE_SAMPLES_TOOL + "' '" + dir + "' >/dev/null";
  std::vector<CorpusPicture> files;
  if (std::system(command.c_str()) != 0) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    if (ext.size() > 1) files.push_back({entry.path(), ext.substr(1)});
  }
  std::sort(files.begin(), files.end(),
            [](const CorpusPicture& a, const CorpusPicture& b) { return a.path < b.path; });
  return files;
}
