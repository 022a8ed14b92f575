#pragma once

// Whether the key outline lays out its rows in place, editing the rows a QTreeView has laid out.
//
// Those rows live in QTreeView's private class, which is no part of Qt's API and may change with any
// release: the in-place layout is compiled only where the build found the private header
// (TAMRIX_OUTLINE_IN_PLACE) and only against the versions whose private class it was checked with, and
// used only when that same version runs (TRKeyOutlineView::laysOutInPlace). Anything else gets
// QTreeView's own layout.
#include <QtGlobal>

// Checked with Debian 12's Qt 6.4.2 and Debian 13's Qt 6.8.2, whose laid-out rows (QTreeViewItem and
// the fields used here) are the same.
#if defined(TAMRIX_OUTLINE_IN_PLACE) && __has_include(<QtWidgets/private/qtreeview_p.h>) &&                    \
    (QT_VERSION == QT_VERSION_CHECK(6, 4, 2) || QT_VERSION == QT_VERSION_CHECK(6, 8, 2))
#define TR_OUTLINE_IN_PLACE 1
#include <QTreeView>
#include <QtWidgets/private/qtreeview_p.h>
#else
#define TR_OUTLINE_IN_PLACE 0
#endif
