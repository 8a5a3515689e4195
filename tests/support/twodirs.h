#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Helpers for tests that work on two data directories: one copied from the other, and a
// fingerprint of each to show that one was left untouched.

// The SHA-256 of each file in `dir`, by name.
QMap<QString, QByteArray> hashes(const QString& dir);
// Copies the files of `from` into `to` (created if needed); a failed copy fails the test.
void copyDirectory(const QString& from, const QString& to);
