// ViewSync: what every view copies from its model widget: geometry (twips
// to pixels), visibility, enabled state, font, tooltip and the name a screen
// reader gives it; and the keys every view leaves to the host.
#pragma once

#include <QKeyEvent>
#include <QWidget>

#include "platform/Widget.h"
#include "qt/QtHost.h"
#include "qt/Twips.h"

namespace trovel::qt {

// Sets the view's accessible name and tooltip where they differ (each
// change is an event to the view and to a screen reader).
inline void ShowNames(QWidget* view, const QString& name, const QString& tip) {
  if (view->accessibleName() != name) view->setAccessibleName(name);
  if (view->toolTip() != tip) view->setToolTip(tip);
}

// A caption as it reads without its access key: "S&iguiente" is
// "Siguiente", "&&" an ampersand.
inline QString WithoutAccessKey(const QString& caption) {
  QString out;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    else if (caption[i] == '&') continue;
    out += caption[i];
  }
  return out;
}

// `named`: the view's names come from the model's ToolTipText; a view that
// names itself otherwise passes false.
inline void SyncCommon(QtHost& host, QWidget* view, const Widget& model, bool named = true) {
  // Hiding a focused view makes Qt move its focus; that is the model's doing.
  QtHost::QuietFocus quiet(host);
  const QWidget* at = view->parentWidget() ? view->parentWidget() : view;
  view->setGeometry(ToPixels(model.Left(), at), ToPixels(model.Top(), at), ToPixels(model.Width(), at),
                    ToPixels(model.Height(), at));
  view->setVisible(model.Visible());
  view->setEnabled(model.Enabled());
  if (model.GetFont()) view->setFont(ShownFont(model.GetFont().get()));
  if (named) {
    const QString tip = QString::fromStdString(model.ToolTipText());
    ShowNames(view, tip, tip);
  }
}

// Tab and Shift+Tab belong to the host's focus chain, not to Qt's. True when
// `e` was one of them (the host has moved the focus on; `view` may be gone).
inline bool HandleTab(QtHost& host, QObject* view, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(e);
  const bool back = key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && key->modifiers() & Qt::ShiftModifier);
  if (key->key() != Qt::Key_Tab && !back) return false;
  host.Guarded(view, [&] { host.MoveTab(!back); });
  return true;
}

}  // namespace trovel::qt
