#pragma once
// A recorder of the reader's events for its unit tests.
#include <cstdio>
#include <string>
#include <vector>

#include "reader/TXLSRead.h"

namespace readertest {

// Every event as one line of text, in order.
struct Recorder {
  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::vector<int> progress;
  bool answer = true;

  void Attach(reader::TXLSRead& r) {
    r.OnNumberCell = [this](reader::TXLSRead&, int c, int row, int xf, double v, bool f) {
      log.push_back("N " + Pos(c, row) + " " + std::to_string(xf) + " " + Num(v) + (f ? " F" : ""));
    };
    r.OnDateTimeCell = [this](reader::TXLSRead&, int c, int row, int xf, double v, bool f) {
      log.push_back("D " + Pos(c, row) + " " + std::to_string(xf) + " " + Num(v) + (f ? " F" : ""));
    };
    r.OnStringCell = [this](reader::TXLSRead&, int c, int row, int, const std::string& v, bool f) {
      log.push_back("S " + Pos(c, row) + " " + v + (f ? " F" : ""));
    };
    r.OnBoolCell = [this](reader::TXLSRead&, int c, int row, int, bool v, bool f) {
      log.push_back(std::string("B ") + Pos(c, row) + (v ? " 1" : " 0") + (f ? " F" : ""));
    };
    r.OnBlankCell = [this](reader::TXLSRead&, int c, int row, int xf) {
      log.push_back("E " + Pos(c, row) + " " + std::to_string(xf));
    };
    r.OnFormulaCell = [this](reader::TXLSRead&, int c, int row, const std::string& t) {
      log.push_back("F " + Pos(c, row) + " " + t);
    };
    r.OnSheet = nullptr;
    r.OnProgress = [this](reader::TXLSRead&, int v) { progress.push_back(v); };
    r.MessageHook = [this](const std::string& text, bool question) {
      messages.push_back(std::string(question ? "?" : "!") + text);
      return answer;
    };
  }
  static std::string Pos(int c, int r) { return std::to_string(c) + "," + std::to_string(r); }
  static std::string Num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.15g", v);
    return b;
  }
};

}  // namespace readertest
