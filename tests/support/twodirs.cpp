#include "twodirs.h"

#include "demodata.h"
#include "editsession.h"
#include "savedirs.h"
#include "testdata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

QMap<QString, QByteArray> hashes(const QString& dir)
{
    QMap<QString, QByteArray> out;
    const QMap<QString, QByteArray> files = fileSnapshot(dir);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        out.insert(it.key(), QCryptographicHash::hash(it.value(), QCryptographicHash::Sha256));
    return out;
}

void copyDirectory(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QVERIFY(QFile::copy(from + "/" + name, to + "/" + name));
}

void writeDemoAndCopy(const QString& base, const QString& copy)
{
    QString error;
    QVERIFY2(qm::writeDemoDirectory(base, false, false, &error), qPrintable(error));
    copyDirectory(base, copy);
}

namespace {

void editCopy(qm::EditSession& copy, CopyEdits* edits)
{
    using namespace qm;
    const QVector<int> statics = copy.listed(Static);
    QVERIFY(statics.size() >= 2 && !copy.freeIdSets()[Gump].empty());
    edits->picture = statics.at(0);
    edits->tile = statics.at(1);
    QString error;
    QVERIFY2(copy.setImage(Static, edits->picture, filledImage(20, 30, qRgb(200, 16, 16)), &error), qPrintable(error));
    tile_struct t = copy.tile(Static, edits->tile);
    t.name = "carried";
    QVERIFY2(copy.setTile(Static, edits->tile, t, &error), qPrintable(error));
    edits->newGump = int(*copy.freeIdSets()[Gump].begin());
    QVERIFY2(copy.insert(Gump, edits->newGump, &error), qPrintable(error));
    QVERIFY2(copy.setImage(Gump, edits->newGump, filledImage(16, 12, qRgb(16, 200, 16)), &error), qPrintable(error));
}

} // namespace

CopyEdits writeBaseAndEditedCopy(const QString& base, const QString& copy,
                                 const std::function<void(qm::EditSession&, const CopyEdits&)>& more)
{
    writeDemoAndCopy(base, copy);
    qm::EditSession session;
    session.open(copy);
    CopyEdits edits;
    editCopy(session, &edits);
    if (more)
        more(session, edits);
    QString error;
    if (!session.save(&error))
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    return edits;
}
