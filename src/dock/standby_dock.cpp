#include "dock/standby_dock.h"

#include "base/module_host.h"
#include "dock/crew_panel.h"
#include "dock/dock_director.h"
#include "dock/dock_host.h"
#include "dock/page_widgets.h"
#include "dock/preview_view.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int statusRefreshMs = 100;
constexpr int textPauseMs = 400;
constexpr int64_t minuteMs = 60000;

struct TabSpec {
	const char *textKey;
	const char *tipKey;
};
constexpr TabSpec tabSpecs[] = {
	{"Tab.Standby", "Tab.StandbyTip"}, {"Tab.Op", "Tab.OpTip"},     {"Tab.Break", "Tab.BreakTip"},
	{"Tab.Ending", "Tab.EndingTip"},   {"Tab.Text", "Tab.TextTip"},     {"Crew.Tab", "Crew.TabTip"},
};

} // namespace

StandbyDock::StandbyDock(std::unique_ptr<DockHost> host_, std::unique_ptr<DockDirector> director_)
    : host(std::move(host_)), director(std::move(director_))
{
	// Building the controls sets their first values; none of that is an edit.
	loading = true;
	setObjectName(QStringLiteral("curtainup_dock"));
	setMinimumWidth(300);
	statusTimer.setObjectName(QStringLiteral("curtainup_statusTimer"));
	statusTimer.setInterval(statusRefreshMs);
	textTimer.setObjectName(QStringLiteral("curtainup_textTimer"));
	textTimer.setSingleShot(true);
	textTimer.setInterval(textPauseMs);

	auto *content = new QWidget;
	auto *layout = new QVBoxLayout(content);
	addPresetRows(layout);
	addPreview(layout);
	addStatusLines(layout);
	addActions(layout);
	addTabs(layout);

	auto *scroll = new QScrollArea;
	scroll->setWidgetResizable(true);
	scroll->setFrameShape(QFrame::NoFrame);
	scroll->setWidget(content);
	auto *dockLayout = new QVBoxLayout(this);
	dockLayout->setContentsMargins(0, 0, 0, 0);
	dockLayout->addWidget(scroll);

	reloadPresetList();
	fillFromPreset();
	connectActions();
	presetListener = addPresetListener([this](PresetEvent event) { followPresets(event); });
	statusTimer.start();
}

StandbyDock::~StandbyDock()
{
	removePresetListener(presetListener);
}

void StandbyDock::addPresetRows(QVBoxLayout *layout)
{
	presetCombo = named(new QComboBox, "presetCombo");
	presetCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
	auto *presetRow = new QHBoxLayout;
	presetRow->addWidget(new QLabel(moduleText("Preset.Label")));
	presetRow->addWidget(presetCombo, 1);
	layout->addLayout(presetRow);

	saveAsButton = named(new QPushButton(moduleText("Preset.SaveAs")), "saveAsButton");
	renameButton = named(new QPushButton(moduleText("Preset.Rename")), "renameButton");
	removeButton = named(new QPushButton(moduleText("Preset.Remove")), "removeButton");
	auto *buttonRow = new QHBoxLayout;
	buttonRow->addWidget(saveAsButton, 2);
	buttonRow->addWidget(renameButton, 1);
	buttonRow->addWidget(removeButton, 1);
	layout->addLayout(buttonRow);
}

void StandbyDock::addPreview(QVBoxLayout *layout)
{
	preview = named(new PreviewView, "preview");
	layout->addWidget(preview);

	previewStandby = named(new QRadioButton(moduleText("Preview.Standby")), "previewStandby");
	previewBreak = named(new QRadioButton(moduleText("Preview.Break")), "previewBreak");
	previewStandby->setChecked(true);
	auto *row = new QHBoxLayout;
	row->addStretch();
	row->addWidget(previewStandby);
	row->addWidget(previewBreak);
	row->addStretch();
	layout->addLayout(row);
}

void StandbyDock::addStatusLines(QVBoxLayout *layout)
{
	stateLabel = named(new QLabel, "stateLabel");
	stateLabel->setAlignment(Qt::AlignCenter);
	stateLabel->setStyleSheet(QStringLiteral("font-size: 22pt; font-weight: bold;"));
	// A minute less and a minute more on either side of the time left, while it runs.
	removeMinuteButton = named(new QPushButton(moduleText("Act.RemoveMinute")), "removeMinuteButton");
	addMinuteButton = named(new QPushButton(moduleText("Act.AddMinute")), "addMinuteButton");
	auto *timeRow = new QHBoxLayout;
	timeRow->addWidget(removeMinuteButton);
	timeRow->addWidget(stateLabel, 1);
	timeRow->addWidget(addMinuteButton);
	for (QPushButton *button : {removeMinuteButton, addMinuteButton}) {
		button->setToolTip(moduleText("Act.MinuteTip"));
		button->hide();
	}
	layout->addLayout(timeRow);

	detailLabel = named(new QLabel, "detailLabel");
	detailLabel->setAlignment(Qt::AlignCenter);
	detailLabel->setWordWrap(true);
	layout->addWidget(detailLabel);

	problemLabel = named(new QLabel, "problemLabel");
	problemLabel->setAlignment(Qt::AlignCenter);
	problemLabel->setWordWrap(true);
	problemLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));
	problemLabel->hide();
	layout->addWidget(problemLabel);
}

QPushButton *StandbyDock::makeAction(const char *name, const char *textKey, int minimumHeight)
{
	auto *button = named(new QPushButton(moduleText(textKey)), name);
	button->setMinimumHeight(minimumHeight);
	return button;
}

void StandbyDock::addActions(QVBoxLayout *layout)
{
	standbyButton = makeAction("standbyButton", "Act.Standby", 36);
	mainButton = makeAction("mainButton", "Act.Main", 30);
	breakButton = makeAction("breakButton", "Act.Break", 30);
	endingButton = makeAction("endingButton", "Act.Ending", 30);
	cancelButton = makeAction("cancelButton", "Act.Cancel", 30);
	holdButton = makeAction("holdButton", "Act.Hold", 36);
	armButton = makeAction("armButton", "Act.Arm", 30);

	auto *grid = new QGridLayout;
	grid->addWidget(standbyButton, 0, 0, 1, 2);
	grid->addWidget(mainButton, 1, 0);
	grid->addWidget(breakButton, 1, 1);
	grid->addWidget(endingButton, 2, 0);
	grid->addWidget(cancelButton, 2, 1);
	grid->addWidget(holdButton, 3, 0, 1, 2);
	grid->addWidget(armButton, 4, 0, 1, 2);
	layout->addLayout(grid);
}

void StandbyDock::addTabs(QVBoxLayout *layout)
{
	auto *pages = named(new QStackedWidget, "pages");
	pages->addWidget(buildStandbyTab());
	pages->addWidget(buildOpTab());
	pages->addWidget(buildBreakTab());
	pages->addWidget(buildEndingTab());
	pages->addWidget(buildTextTab());
	pages->addWidget(new CrewPanel);

	auto *group = new QButtonGroup(this);
	auto *tabRow = new QHBoxLayout;
	tabRow->setSpacing(2);
	int id = 0;
	for (const TabSpec &spec : tabSpecs) {
		auto *button = new QPushButton(moduleText(spec.textKey));
		button->setObjectName(QStringLiteral("curtainup_tab%1").arg(id));
		button->setToolTip(moduleText(spec.tipKey));
		button->setCheckable(true);
		button->setMinimumWidth(0);
		button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
		group->addButton(button, id++);
		tabRow->addWidget(button, 1);
	}
	group->button(0)->setChecked(true);
	connect(group, &QButtonGroup::idClicked, pages, &QStackedWidget::setCurrentIndex);

	layout->addLayout(tabRow);
	layout->addWidget(pages);
	layout->addStretch();
}

void StandbyDock::connectActions()
{
	connect(presetCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &StandbyDock::choosePreset);
	connect(saveAsButton, &QPushButton::clicked, this, &StandbyDock::savePresetAs);
	connect(renameButton, &QPushButton::clicked, this, &StandbyDock::renamePreset);
	connect(removeButton, &QPushButton::clicked, this, &StandbyDock::removeCurrentPreset);

	connect(standbyButton, &QPushButton::clicked, this, [this] {
		flushTexts();
		director->startStandby();
	});
	connect(mainButton, &QPushButton::clicked, this, [this] { director->skipToMain(); });
	connect(breakButton, &QPushButton::clicked, this, [this] {
		flushTexts();
		director->toggleBreak();
	});
	connect(endingButton, &QPushButton::clicked, this, [this] { director->startEnding(); });
	connect(armButton, &QPushButton::clicked, this, [this] {
		flushTexts();
		director->toggleArm();
	});
	connect(cancelButton, &QPushButton::clicked, this, [this] { director->cancel(); });
	connect(holdButton, &QPushButton::clicked, this, [this] {
		flushTexts();
		director->toggleHold();
	});
	connect(addMinuteButton, &QPushButton::clicked, this, [this] { director->addTime(minuteMs); });
	connect(removeMinuteButton, &QPushButton::clicked, this, [this] { director->addTime(-minuteMs); });

	connect(previewStandby, &QRadioButton::toggled, this, [this] { lastPreviewKind = -1; });
	connect(&textTimer, &QTimer::timeout, this, &StandbyDock::applyTexts);
	connect(&statusTimer, &QTimer::timeout, this, &StandbyDock::refreshStatus);
}
