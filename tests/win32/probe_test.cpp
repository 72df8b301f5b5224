// The picture probe over the test corpora and the reproducers of files that once brought the
// program down: each batch of files is decoded by one probe process, so a crash fails the test
// and names its file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "reproducers.h"

namespace {

std::string Here() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/"));
}

struct ProbeRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;
};

// Runs the probe over the files listed in listPath, its output captured in a file.
ProbeRun RunProbe(const std::string& listPath) {
  ProbeRun run;
  const std::string outPath = listPath + ".out";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return run;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process = {};
  std::string command = "\"" + Here() + "\\picture_probe.exe\" \"" + listPath + "\"";
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    if (WaitForSingleObject(process.hProcess, 300000) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 4);
      WaitForSingleObject(process.hProcess, 10000);
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  std::ifstream in(outPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  run.output = text.str();
  DeleteFileA(outPath.c_str());
  return run;
}

// The last file the probe announced: the one it was decoding when it stopped.
std::string LastAnnounced(const std::string& output) {
  const std::size_t at = output.rfind("decoding ");
  if (at == std::string::npos) return "(none)";
  return output.substr(at + 9, output.find('\n', at) - at - 9);
}

TEST(PictureProbe, EveryCorpusFileAndEveryReproducerLeavesTheProbeStanding) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  const std::string folder =
      std::string(base) + "trove-probe-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  std::vector<std::string> files = {reproducer::IconAsJpeg(folder),
                                    reproducer::FarRunLengthBmp(folder),
                                    reproducer::HugeJpegHeader(folder)};
  const std::filesystem::path root = std::string("Z:") + TROVE_CORPORA_DIR;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  ASSERT_GT(files.size(), 100u);

  constexpr std::size_t batch = 150;
  int decoded = 0;
  for (std::size_t first = 0; first < files.size(); first += batch) {
    const std::string listPath = folder + "\\batch-" + std::to_string(first) + ".txt";
    std::size_t n = 0;
    {
      std::ofstream list(listPath, std::ios::binary);
      for (std::size_t i = first; i < files.size() && i < first + batch; ++i, ++n) {
        list << files[i] << "\n";
      }
    }
    const ProbeRun run = RunProbe(listPath);
    DeleteFileA(listPath.c_str());
    EXPECT_EQ(run.exitCode, 0u) << "the probe stopped while decoding " << LastAnnounced(run.output);
    // The probe's lines end in "\r\n" (text mode).
    EXPECT_NE(run.output.find("done " + std::to_string(n) + "\r\n"), std::string::npos)
        << run.output.substr(run.output.size() > 400 ? run.output.size() - 400 : 0);
    for (std::size_t at = run.output.find("decoded "); at != std::string::npos;
         at = run.output.find("decoded ", at + 1)) {
      ++decoded;
    }
  }
  // The reproducers are refused, the well-formed corpus pictures decode.
  EXPECT_GT(decoded, 50);
  for (int i = 0; i < 3; ++i) DeleteFileA(files[static_cast<std::size_t>(i)].c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
