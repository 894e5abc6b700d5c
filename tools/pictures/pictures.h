#pragma once

#include <QString>

/// Each writes its pictures into `folder`, which exists.
void makeDigitalSkin(const QString& folder);
void makeSantaClausSkin(const QString& folder);
void makeIcons(const QString& folder);
