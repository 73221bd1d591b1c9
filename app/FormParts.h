#pragma once
// What the window's files share: text at the Qt edge and the makers of the
// named components.
#include <QFile>
#include <QLabel>
#include <QStackedWidget>
#include <QString>
#include <QToolButton>

#include <string>

#include "commands/Cp1252.h"

namespace zel {

inline QString Q(const std::string& cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

inline std::string C(const QString& text) {
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

// File names are no text: they cross between Qt and the core as the system's
// bytes, so that a name Windows-1252 cannot write still opens its file.
inline QString QFileName(const std::string& fileName) {
    return QFile::decodeName(QByteArray::fromStdString(fileName));
}

inline std::string FileName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

inline QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, QPoint at) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(at.x(), at.y(), 260, 18);
    return l;
}

template <class T>
T* Named(T* widget, const char* name, QRect geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

// A page's status line at its foot: centred, in big letters, a long message
// growing upwards to three lines.
inline QLabel* NewStatusLabel(QWidget* page, const char* name, const QString& text, const QFont& big) {
    auto* l = Named(new QLabel(text, page), name, QRect(0, 266, 508, 58));
    l->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    l->setWordWrap(true);
    l->setFont(big);
    return l;
}

// A named page, added at the end of its notebook.
inline QWidget* NewPage(QStackedWidget* book, const char* name) {
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    book->addWidget(page);
    return page;
}

inline QToolButton* NewSpeedButton(QWidget* parent, const char* name, QRect geometry) {
    auto* b = Named(new QToolButton(parent), name, geometry);
    b->setText(QStringLiteral("..."));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

}  // namespace zel
