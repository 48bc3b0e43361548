// The About box: the program's name, icon, version and where to find us.
#pragma once

#include <QString>

#include <memory>

class QDialog;
class QWidget;

namespace yk {

inline constexpr const char* kWebAddress = "https://yomikaki.example.org/";
inline constexpr const char* kMailAddress = "support@yomikaki.example.org";

// The box, ready to show; the caller owns it.
std::unique_ptr<QDialog> MakeAboutBox(QWidget* parent);
// Shows the box modally; it is made for this showing and freed after it.
void ShowAboutBox(QWidget* parent);

}  // namespace yk
