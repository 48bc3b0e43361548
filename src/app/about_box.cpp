// The About box.
#include "app/about_box.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_icons.h"
#include "controls/ui_font.h"

namespace yk {

namespace {

QLabel* Label(QDialog* box, const char* name, const QString& text) {
  auto* label = new QLabel(text, box);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

// A label showing an address as a link the desktop opens when clicked.
QLabel* LinkLabel(QDialog* box, const char* name, const QString& url, const QString& shown) {
  QLabel* label = Label(box, name, QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), shown.toHtmlEscaped()));
  label->setTextFormat(Qt::RichText);
  label->setTextInteractionFlags(Qt::TextBrowserInteraction);
  label->setOpenExternalLinks(true);
  return label;
}

}  // namespace

std::unique_ptr<QDialog> MakeAboutBox(QWidget* parent) {
  auto box = std::make_unique<QDialog>(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  box->setObjectName(QStringLiteral("AboutBox"));
  box->setFont(JapaneseUiFont());
  box->setWindowTitle(QString::fromUtf8("Yomikakiのバージョン情報"));

  QLabel* icon = Label(box.get(), "ProgramIcon", QString());
  icon->setPixmap(StillIcon().pixmap(48, 48));
  QLabel* product = Label(box.get(), "ProductName", QStringLiteral("Yomikaki"));
  QFont bold = box->font();
  bold.setBold(true);
  if (bold.pointSizeF() > 0) bold.setPointSizeF(bold.pointSizeF() * 1.3);
  product->setFont(bold);
  QLabel* version = Label(box.get(), "Version", QString::fromUtf8("バージョン %1").arg(QStringLiteral(YK_VERSION)));
  const QString web = QString::fromLatin1(kWebAddress);
  const QString mail = QString::fromLatin1(kMailAddress);
  QLabel* web_link = LinkLabel(box.get(), "WebLink", web, web);
  QLabel* mail_link = LinkLabel(box.get(), "MailLink", QStringLiteral("mailto:") + mail, mail);
  auto* ok = new QPushButton(QString::fromUtf8("ＯＫ"), box.get());
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, box.get(), &QDialog::accept);

  auto* text = new QVBoxLayout;
  for (QLabel* l : {product, version, web_link, mail_link}) text->addWidget(l);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(text);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addStretch();
  auto* outer = new QVBoxLayout(box.get());
  outer->addLayout(top);
  outer->addSpacing(8);
  outer->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  return box;
}

void ShowAboutBox(QWidget* parent) { MakeAboutBox(parent)->exec(); }

}  // namespace yk
