#pragma once

// What the item window's pages share when they build their part of the form: object names,
// the form's margins and spacers, and its texts, which keep the window's translation context
// whichever page shows them.
#include <QCoreApplication>
#include <QLayout>
#include <QSpacerItem>
#include <QString>

namespace form {

constexpr int kOuterMargin = 11;
constexpr int kSpacing = 6;

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The window's and each page's own layout.
inline void outer(QLayout* layout)
{
    layout->setContentsMargins(kOuterMargin, kOuterMargin, kOuterMargin, kOuterMargin);
    layout->setSpacing(kSpacing);
}

// Layouts nested in an outer one.
inline void nested(QLayout* layout)
{
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
}

inline QSpacerItem* horizontalSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

inline QSpacerItem* verticalSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Expanding);
}

// A text of the item window, translated in the window's context.
inline QString text(const char* source)
{
    return QCoreApplication::translate("myWidget", source);
}

} // namespace form
