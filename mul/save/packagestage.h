#pragma once

#include "packagenames.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

namespace qm {

class SaveTransaction;

// The data of one new or changed package entry, by package id.
using PackageIdData = std::function<bool(int id, QByteArray* data, QString* error)>;

// Stages a new mulDir/<package of kind> in `tx` holding an entry for each of `ids` (package
// ids with data, any order) and the entries of the package it replaces whose hash names no id.
// An id for which `keepStored` is true keeps the stored bytes of its old entry; every other
// id's data comes from `newData`. Without an old package (a conversion) every entry is new.
bool stagePackage(SaveTransaction& tx, const QString& mulDir, PackageKind kind, const QVector<int>& ids,
                  const std::function<bool(int id)>& keepStored, const PackageIdData& newData, QString* error);

} // namespace qm
