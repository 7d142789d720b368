#pragma once
#include <cstddef>
#include <string_view>

#include "runtime/color.h"

namespace qs {

// One entry of the game-select menu.
struct MenuEntry {
  std::string_view title;
  std::string_view lockedTitle;  // empty for the entries that are always open
  Color colour;
  std::string_view scene;    // the scene Z shows
  int clearsNeeded;          // set clear flags needed to open the entry
  std::string_view picture;  // the entry's picture, hidden while the entry is locked
  int cover = -1;            // of a locked entry, which question-mark picture covers it (0: Ques1, 1: Ques2)
};

inline constexpr MenuEntry kMenuEntries[] = {
    {"QorvexBlast", "", Color::rgb(128, 128, 128), "FormQB", 0, "title0.bmp"},
    {"QorvexBlast LEVEL", "", Color::rgb(0, 255, 255), "FormQBL", 0, "title1.bmp"},
    {"QorvexBlast FINAL", "", Color::rgb(255, 255, 0), "FormQBF", 0, "title2.bmp"},
    {"QorvexReBirth", "", Color::rgb(255, 0, 0), "FormQRB", 0, "title3.bmp"},
    {"QorvexStrike!", "", Color::rgb(0, 255, 0), "FormQS", 0, "title4.bmp"},
    {"QorvexBlast Forever", "??????????? ???????", Color::rgb(255, 255, 255), "FormFirst", 5, "title5.bmp", 0},
    // Eight marks for a seven-character title: kept as the game always showed it.
    {"Qorvex侍", "????????", Color::rgb(255, 0, 255), "FormSam", 6, "title6.bmp", 1},
};

inline constexpr std::size_t kMenuEntryCount = sizeof kMenuEntries / sizeof kMenuEntries[0];

}  // namespace qs
