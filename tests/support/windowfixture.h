#pragma once

// A shown main window on a standard test directory, its dialogs answered from a script.
#include "cataloguepanes.h"
#include "mainwindow.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "uodir.h"

#include <QAction>
#include <QCoreApplication>
#include <QTabWidget>

#include <memory>

struct MainWindowFixture {
    TestSettings settings;
    SaveDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<mainwindow> w;

    MainWindowFixture()
    {
        dir.writeStandard();
        qm::writeUODir(dir.path());
        reopen();
    }
    // A new window, as after a restart.
    void reopen()
    {
        w.reset();
        w = std::make_unique<mainwindow>();
        w->show();
    }
    // The tab of `kind`, as a grid or a list.
    CataloguePane* show(int kind, bool grid)
    {
        w->tabSelect->setCurrentIndex(kind);
        if (w->cataloguePanes()->viewGridAction()->isChecked() != grid)
            w->cataloguePanes()->viewGridAction()->trigger();
        QCoreApplication::processEvents();
        return w->currentPane();
    }
};
