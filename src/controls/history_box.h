// The editable drop-downs of search texts with their history: what the user
// typed stays exactly as typed, and the CP932 texts of the program meet the
// box's Unicode text in this one place.
#pragma once

#include <QComboBox>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

// Makes box an editable history box. Qt's editable combo box completes
// inline without regard to case: typing "XYZ" with "xyz" listed gives
// "xyz", and a completed tail makes the first Enter only accept it. Here
// nothing completes what is typed; the history is the drop-down list.
void MakeHistoryBox(QComboBox* box);

// Enter in the box runs handler once per key, when control is back in the
// event loop (Qt's combo box hands an Enter its line edit ignored back to
// it, which reports it a second time).
void OnHistoryBoxEnter(QComboBox* box, std::function<void()> handler);

// The typed text as CP932 (characters without a CP932 form become "?").
std::string HistoryBoxText(const QComboBox* box);
void SetHistoryBoxText(QComboBox* box, std::string_view cp932);
// The history entries, newest first; the typed text is kept.
void SetHistoryBoxItems(QComboBox* box, const std::vector<std::string>& cp932);

}  // namespace yk
