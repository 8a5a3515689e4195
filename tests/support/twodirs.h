#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>

// Helpers for tests that work on two data directories: one copied from the other, and a
// fingerprint of each to show that one was left untouched.

// The SHA-256 of each file in `dir`, by name.
QMap<QString, QByteArray> hashes(const QString& dir);
// Copies the files of `from` into `to` (created if needed); a failed copy fails the test.
void copyDirectory(const QString& from, const QString& to);
// A small demo directory in `base` and a copy of it in `copy`; a failure fails the test.
void writeDemoAndCopy(const QString& base, const QString& copy);

namespace qm {
class EditSession;
}

// The items the comparison tests change in the copy, found by the same ids in the base.
struct CopyEdits {
    int picture = -1;   // the first static, given a new picture (20 x 30)
    int tile = -1;      // the second static, renamed "carried"
    int newGump = -1;   // a gump at the first id free in the base (16 x 12, green)
};
// A small demo directory in `base` and a copy in `copy` with those edits saved; `more` may
// add edits of its own before the save. A failure fails the test.
CopyEdits writeBaseAndEditedCopy(const QString& base, const QString& copy,
                                 const std::function<void(qm::EditSession&, const CopyEdits&)>& more = {});
