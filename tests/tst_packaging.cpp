// Installing like a Linux program: the install tree and the .deb hold the editor, qmtool, the
// manual pages, the bash completion, the desktop entry, the icon and Debian's doc files; the
// manual page and the completion cover every command of qmtool's table.
#include "commandtable.h"
#include "itemkind.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kBuildDir = QStringLiteral(QM_BUILD_DIR);

struct Run {
    int exitCode = -1;
    QString out;
};

Run run(const QString& program, const QStringList& args, const QString& workDir = QString())
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    if (r.exitCode != 0)
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    return r;
}

// The files a user needs, relative to the installation prefix (/usr in the package).
const QStringList kInstalledFiles = {
    QStringLiteral("bin/quillmark-patch"),
    QStringLiteral("bin/qmtool"),
    QStringLiteral("share/applications/quillmark-patch.desktop"),
    QStringLiteral("share/pixmaps/quillmark-patch.png"),
    QStringLiteral("share/man/man1/qmtool.1.gz"),
    QStringLiteral("share/man/man1/quillmark-patch.1.gz"),
    QStringLiteral("share/bash-completion/completions/qmtool"),
    QStringLiteral("share/doc/quillmark-patch/copyright"),
    QStringLiteral("share/doc/quillmark-patch/changelog.gz"),
};

// What bash completion offers for `words`, the last one being the word completed.
QStringList completions(const QString& script, const QStringList& words)
{
    QStringList quoted;
    for (const QString& w : words)
        quoted << QLatin1Char('\'') + w + QLatin1Char('\'');
    const QString code = QStringLiteral("source '%1'; COMP_WORDS=(%2); COMP_CWORD=%3; _qmtool; "
                                        "printf '%s\\n' \"${COMPREPLY[@]}\"")
                             .arg(script, quoted.join(QLatin1Char(' ')))
                             .arg(words.size() - 1);
    QStringList offered = run(QStringLiteral("bash"), { QStringLiteral("-c"), code }).out.split(
        QLatin1Char('\n'), Qt::SkipEmptyParts);
    offered.sort();
    return offered;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestPackaging : public QObject {
    Q_OBJECT

private slots:
    void installTreeHoldsProgramsAndDocs()
    {
        QTemporaryDir prefix;
        QCOMPARE(run(QStringLiteral(QM_CMAKE), { QStringLiteral("--install"), kBuildDir, QStringLiteral("--prefix"),
                                                 prefix.path() })
                     .exitCode,
                 0);
        for (const QString& file : kInstalledFiles)
            QVERIFY2(QFileInfo(prefix.filePath(file)).isFile(), qPrintable(file));
        QVERIFY(QFileInfo(prefix.filePath(QStringLiteral("bin/qmtool"))).isExecutable());

        // The manual page is qmtool's own: every command of the table, with its synopsis.
        const QString page = run(QStringLiteral("gzip"), { QStringLiteral("-dc"),
                                                            prefix.filePath(QStringLiteral("share/man/man1/qmtool.1.gz")) })
                                 .out;
        QVERIFY(page.startsWith(QStringLiteral(".\\\"")) && page.contains(QStringLiteral(".TH QMTOOL 1")));
        for (const ToolCommandEntry& c : toolCommands()) {
            QString synopsis = c.synopsis;
            synopsis.replace(QLatin1Char('-'), QStringLiteral("\\-"));
            QVERIFY2(page.contains(QStringLiteral(".SS ") + synopsis + QLatin1Char('\n')), qPrintable(c.name));
        }
    }

    void debianPackageListsItsFiles()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
            QSKIP("dpkg-deb is not installed");
        QTemporaryDir out;
        QCOMPARE(run(QStringLiteral(QM_CPACK), { QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                                 kBuildDir + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"),
                                                 out.path() },
                     out.path())
                     .exitCode,
                 0);
        const QStringList debs = QDir(out.path()).entryList({ QStringLiteral("*.deb") });
        QCOMPARE(debs.size(), 1);
        const QString deb = out.filePath(debs.first());
        const QString listing = run(QStringLiteral("dpkg-deb"), { QStringLiteral("-c"), deb }).out;
        for (const QString& file : kInstalledFiles)
            QVERIFY2(listing.contains(QStringLiteral(" ./usr/") + file + QLatin1Char('\n')), qPrintable(file));
        // Nothing of the build (tests, benchmarks, static libraries) slips in.
        QVERIFY(!listing.contains(QStringLiteral("tst_")) && !listing.contains(QStringLiteral("bench_"))
                && !listing.contains(QStringLiteral(".a\n")));
        const QString depends = run(QStringLiteral("dpkg-deb"), { QStringLiteral("-f"), deb, QStringLiteral("Depends") }).out;
        for (const char* package : { "libqt6widgets6", "libqt6gui6", "libqt6core6", "qt6-qpa-plugins" })
            QVERIFY2(depends.contains(QLatin1String(package)), package);
    }

    void completionOffersEveryCommandKindAndOption()
    {
        const QString script = kBuildDir + QStringLiteral("/tools/completion/qmtool");
        QVERIFY(QFileInfo(script).isFile());
        QStringList commands;
        for (const ToolCommandEntry& c : toolCommands())
            commands << c.name;
        QCOMPARE(completions(script, { QStringLiteral("qmtool"), QString() }), sorted(commands));
        QCOMPARE(completions(script, { QStringLiteral("qmtool"), QStringLiteral("--dir"), QStringLiteral("/tmp"),
                                       QStringLiteral("set") }),
                 sorted({ QStringLiteral("set-anim"), QStringLiteral("set-hue"), QStringLiteral("set-tile") }));

        QStringList kinds;
        for (int k = 0; k < qm::kItemKindCount; ++k)
            kinds << qm::kindName(k).toLower();
        QCOMPARE(completions(script, { QStringLiteral("qmtool"), QStringLiteral("export-images"), QString() }),
                 sorted(kinds));
        QCOMPARE(completions(script, { QStringLiteral("qmtool"), QStringLiteral("tile"), QString() }),
                 sorted({ QStringLiteral("land"), QStringLiteral("static") }));
        QCOMPARE(completions(script, { QStringLiteral("qmtool"), QStringLiteral("convert"), QStringLiteral("gump"),
                                       QString() }),
                 sorted({ QStringLiteral("mul"), QStringLiteral("package") }));
        // Every command's options, after its arguments too.
        for (const ToolCommandEntry& c : toolCommands()) {
            QStringList options { QStringLiteral("--help") };
            for (const ToolOption& o : c.options)
                options << QStringLiteral("--") + o.name;
            QCOMPARE(completions(script, { QStringLiteral("qmtool"), c.name, QStringLiteral("x"), QStringLiteral("--") }),
                     sorted(options));
        }
    }
};

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
