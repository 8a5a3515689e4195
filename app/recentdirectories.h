#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

// The data directories opened last, newest first, kept in the program's settings. The
// "Recent Directories" menu lists them; ones that no longer exist are shown greyed out.
class RecentDirectories : public QObject {
    Q_OBJECT

public:
    static constexpr int kMax = 8;

    explicit RecentDirectories(QObject* parent = nullptr);

    QStringList directories() const;
    // Puts `dir` first (once), keeping the last kMax.
    void add(const QString& dir);
    // The menu's entries anew from the settings.
    void fillMenu(QMenu* menu);

signals:
    void chosen(const QString& dir);
};
