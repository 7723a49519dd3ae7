#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class DockHost;
class QComboBox;

// Host output flags of the source lists.
constexpr uint32_t audioSourceFlag = 2;                // OBS_SOURCE_AUDIO
constexpr uint32_t controllableMediaSourceFlag = 8192; // OBS_SOURCE_CONTROLLABLE_MEDIA

// Refills a combo of names: the none item (empty data) first, then one item per name
// (text and data the name). A stored name that is not among them stays as a last item
// marked missing, so it remains in force and visible. Selects the stored name's item, or
// the first item. Does not block the combo's signals.
void fillNameCombo(QComboBox *combo, const QString &noneText, const QStringList &names, const QString &stored);

// The host's scenes in its order; the combo's signals are blocked throughout.
void fillSceneCombo(QComboBox *combo, DockHost &host, const QString &stored, const QString &noneText);
// The host's sources that share a bit with `flags`, sorted for people, never the module's
// own countdown source; the combo's signals are blocked throughout.
void fillSourceCombo(QComboBox *combo, DockHost &host, const QString &stored, const QString &noneText, uint32_t flags);
