#pragma once
#include <string_view>

#include "runtime/color.h"

namespace qs {

// One entry of the game-select menu.
struct MenuEntry {
  std::string_view title;
  std::string_view lockedTitle;  // empty for the entries that are always open
  Color colour;
  std::string_view scene;         // the scene Z shows
  int clearsNeeded;               // set clear flags needed to open the entry
};

inline constexpr MenuEntry kMenuEntries[] = {
    {"QorvexBlast", "", Color::rgb(128, 128, 128), "FormQB", 0},
    {"QorvexBlast LEVEL", "", Color::rgb(0, 255, 255), "FormQBL", 0},
    {"QorvexBlast FINAL", "", Color::rgb(255, 255, 0), "FormQBF", 0},
    {"QorvexReBirth", "", Color::rgb(255, 0, 0), "FormQRB", 0},
    {"QorvexStrike!", "", Color::rgb(0, 255, 0), "FormQS", 0},
    {"QorvexBlast Forever", "??????????? ???????", Color::rgb(255, 255, 255), "FormFirst", 5},
    // Eight marks for a seven-character title: kept as the game always showed it.
    {"Qorvex侍", "????????", Color::rgb(255, 0, 255), "FormSam", 6},
};

}  // namespace qs
