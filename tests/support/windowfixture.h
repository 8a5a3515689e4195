#pragma once

// A shown main window on a standard test directory, its dialogs answered from a script.
#include "mainwindow.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "uodir.h"

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
        w = std::make_unique<mainwindow>();
        w->show();
    }
};
