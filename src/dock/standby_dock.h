#pragma once

#include "settings/preset_store.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class ColorButton;
class DockDirector;
class DockHost;
class LazyCombo;
class PreviewView;
class TransitionPicker;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;
class QVBoxLayout;
struct ShowSnapshot;

// One change to the current preset, made on a copy by a control of the dock.
using PresetEdit = std::function<void(Preset &)>;

// The control panel in the host's main window: the preset row, a live preview, the show's
// status, the six actions and five settings tabs. Lives on the UI thread; the host owns it
// once it is added as a dock.
class StandbyDock : public QWidget {
	Q_OBJECT

public:
	StandbyDock(std::unique_ptr<DockHost> host, std::unique_ptr<DockDirector> director);
	~StandbyDock() override;

	// The preset list in the combo, the current one selected (signals blocked).
	void reloadPresetList();
	// Puts the current preset into every control without writing anything back.
	void fillFromPreset();
	// The preset list and the fields again after the presets changed elsewhere (a source
	// was renamed); text typed just before goes into the preset first, so it is kept.
	void reloadFromPresets();
	// Refills the scene combos and transition lists from the host, keeping the choices.
	void refreshSceneLists();
	// Refills the music and media lists from the host, keeping the choices.
	void refreshSourceLists();
	// Both of the above: the host's scenes, sources or transitions changed.
	void refreshHostLists();
	// The 100 ms refresh of status, actions and preview; does nothing while hidden.
	void refreshStatus();
	// Applies text typed in the last 400 ms at once.
	void flushTexts();

private:
	// Frame (standby_dock.cpp).
	void addPresetRows(QVBoxLayout *layout);
	void addPreview(QVBoxLayout *layout);
	void addStatusLines(QVBoxLayout *layout);
	void addActions(QVBoxLayout *layout);
	void addTabs(QVBoxLayout *layout);
	QPushButton *makeAction(const char *name, const char *textKey, int minimumHeight);
	void connectActions();

	// Preset row and its dialogs (dock_presets.cpp).
	void choosePreset(int index);
	void savePresetAs();
	void renamePreset();
	void removeCurrentPreset();
	// True (after telling the operator) when a show runs or a step waits.
	bool refusedWhileLocked(const char *titleKey);
	// The current preset as a dialog opens: a dialog acts only on the preset it was opened
	// for, though a remote request may choose another while it is open.
	struct PresetMark {
		int index;
		QString name;
	};
	PresetMark markPreset() const;
	// True (after telling the operator) when another preset became current since the mark.
	bool presetChangedSince(const PresetMark &mark, const char *titleKey);
	// Either of the two above, for the dialogs of the preset row.
	bool refusedAfterDialog(const PresetMark &mark, const char *titleKey);

	// Status and preview (dock_refresh.cpp).
	void applyStatusLines(const ShowSnapshot &snapshot);
	void followPhase(int phase);
	void updatePreview(const ShowSnapshot &snapshot);

	// Pages (dock_standby_tab.cpp, dock_op_tab.cpp, dock_break_tab.cpp, dock_ending_tab.cpp,
	// dock_text_tab.cpp).
	QWidget *buildStandbyTab();
	QWidget *buildOpTab();
	QWidget *buildBreakTab();
	QWidget *buildEndingTab();
	QWidget *buildTextTab();
	QWidget *buildCountBlock();
	QWidget *buildGoLiveBlock();
	QWidget *buildBreakLength();
	void commitCount();
	void chooseLengthMode(bool forLength);
	void quickStandbyLength(int minutes);
	void quickBreakLength(int minutes);
	void addImageRows(QFormLayout *form);

	// Font file and picture folder (dock_style_files.cpp).
	void chooseFont(const QFont &font);
	void clearFontFile();
	void pickFontFile();
	void showFontFamily(const QString &family);
	void pickImageFolder();
	void updateFontFileLabel();
	void updateImageStatus();

	// The one write path and the fill (dock_edit.cpp).
	void editPreset(const PresetEdit &edit);
	// What the preset store tells the dock: edits are wanted now, or the presets changed
	// elsewhere (a remote request, a renamed source) and the controls show them again.
	void followPresets(PresetEvent event);
	void applyTexts();
	void restartTextTimer();
	void bindNameCombo(QComboBox *combo, QString Preset::*field);
	// A check box whose state is one flag of the preset.
	QCheckBox *makeFlagCheck(const char *textKey, const char *name, bool Preset::*field);
	// The colour chosen in the button's dialog goes into the preset it was opened for.
	void bindColorButton(ColorButton *button, QColor PresetStyle::*field);
	void setSourceFiller(LazyCombo *combo, QString Preset::*field, const char *noneKey, uint32_t flags);
	// Form rows whose control edits one field of the preset.
	QComboBox *addSceneRow(QFormLayout *form, const char *labelKey, const char *name, QString Preset::*field);
	LazyCombo *addSourceRow(QFormLayout *form, const char *labelKey, const char *name, QString Preset::*field,
				const char *noneKey, uint32_t flags);
	TransitionPicker *addPickerRow(QFormLayout *form, const char *labelKey, const char *name,
				       TransitionChoice Preset::*field);
	void fillSceneCombos();
	void fillCountControls(const Preset &preset);
	void fillStyleControls(const PresetStyle &style);

	std::unique_ptr<DockHost> host;
	std::unique_ptr<DockDirector> director;

	bool loading = false;
	// Set while the dock itself changes the presets: the store's news of it is not news here.
	bool changingPresets = false;
	int presetListener = 0;
	QTimer statusTimer{this};
	QTimer textTimer{this};

	QComboBox *presetCombo = nullptr;
	QPushButton *saveAsButton = nullptr;
	QPushButton *renameButton = nullptr;
	QPushButton *removeButton = nullptr;

	PreviewView *preview = nullptr;
	QRadioButton *previewStandby = nullptr;
	QRadioButton *previewBreak = nullptr;
	uint64_t lastPreviewRevision = 0;
	int lastPreviewWidth = 0;
	int lastPreviewKind = -1;
	int lastPhase = -1;

	QLabel *stateLabel = nullptr;
	QPushButton *removeMinuteButton = nullptr;
	QPushButton *addMinuteButton = nullptr;
	QLabel *detailLabel = nullptr;
	QLabel *problemLabel = nullptr;

	QPushButton *standbyButton = nullptr;
	QPushButton *mainButton = nullptr;
	QPushButton *breakButton = nullptr;
	QPushButton *endingButton = nullptr;
	QPushButton *cancelButton = nullptr;
	QPushButton *holdButton = nullptr;
	QPushButton *armButton = nullptr;

	// Standby page.
	QComboBox *standbySceneCombo = nullptr;
	QRadioButton *untilTimeRadio = nullptr;
	QTimeEdit *targetTimeEdit = nullptr;
	QRadioButton *forLengthRadio = nullptr;
	QSpinBox *lengthMinutesSpin = nullptr;
	QSpinBox *lengthSecondsSpin = nullptr;
	QLineEdit *titleEdit = nullptr;
	QPlainTextEdit *messagesEdit = nullptr;
	QLineEdit *endTextEdit = nullptr;
	QLineEdit *holdTextEdit = nullptr;
	QCheckBox *atoCheck = nullptr;
	QSpinBox *goLiveLeadSpin = nullptr;
	QCheckBox *goLiveRecordCheck = nullptr;
	QCheckBox *startOnStreamCheck = nullptr;
	QComboBox *lastTenCombo = nullptr;
	QSpinBox *switchAfterSpin = nullptr;
	LazyCombo *bgmCombo = nullptr;
	TransitionPicker *toStandbyPicker = nullptr;

	// OP page.
	QComboBox *opSceneCombo = nullptr;
	LazyCombo *opMediaCombo = nullptr;
	TransitionPicker *toOpPicker = nullptr;
	QComboBox *mainSceneCombo = nullptr;
	TransitionPicker *toMainPicker = nullptr;

	// Break page.
	QComboBox *breakSceneCombo = nullptr;
	QSpinBox *breakMinutesSpin = nullptr;
	QSpinBox *breakSecondsSpin = nullptr;
	QLineEdit *breakTextEdit = nullptr;
	TransitionPicker *toBreakPicker = nullptr;
	TransitionPicker *fromBreakPicker = nullptr;

	// Ending page.
	QComboBox *endingSceneCombo = nullptr;
	LazyCombo *endingMediaCombo = nullptr;
	QCheckBox *stopStreamCheck = nullptr;
	QSpinBox *stopAfterSpin = nullptr;
	TransitionPicker *toEndingPicker = nullptr;

	// Text page.
	QFontComboBox *fontCombo = nullptr;
	QLabel *fontFileLabel = nullptr;
	QPushButton *fontFileClearButton = nullptr;
	QCheckBox *boldCheck = nullptr;
	QSpinBox *sizeSpin = nullptr;
	ColorButton *colorButton = nullptr;
	ColorButton *outlineButton = nullptr;
	QSpinBox *outlineWidthSpin = nullptr;
	QComboBox *alignCombo = nullptr;
	QComboBox *timeFormatCombo = nullptr;
	QLabel *imageFolderLabel = nullptr;
	QLabel *imageDetailLabel = nullptr;
	QPushButton *imageReloadButton = nullptr;
	QPushButton *imageClearButton = nullptr;
};
