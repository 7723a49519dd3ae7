#include "dock/crew_panel.h"

#include "base/module_host.h"
#include "crew/crew_addresses.h"
#include "crew/crew_qr.h"
#include "crew/crew_service.h"
#include "dock/page_widgets.h"
#include "settings/presenter_message.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

CrewPanel::CrewPanel()
{
	QFormLayout *form = makeFormLayout(this);
	onCheck = named(new QCheckBox(moduleText("Crew.On")), "crewOnCheck");
	form->addRow(onCheck);
	networkCombo = named(makeDataCombo({"Crew.Computer", "Crew.Lan"}), "crewNetworkCombo");
	form->addRow(moduleText("Crew.Network"), networkCombo);
	addressCombo = named(new QComboBox, "crewAddressCombo");
	form->addRow(moduleText("Crew.Address"), addressCombo);
	portSpin = named(makeSpin(crewPortMin, crewPortMax, QString()), "crewPortSpin");
	portSpin->setKeyboardTracking(false);
	form->addRow(moduleText("Crew.Port"), portSpin);
	problemLabel = named(makeHelpLabel(QString()), "crewProblemLabel");
	form->addRow(problemLabel);

	links = new QWidget;
	auto *linkLayout = new QVBoxLayout(links);
	linkLayout->setContentsMargins(0, 0, 0, 0);
	linkLayout->addWidget(makeLinkRow("Crew.ViewLink", "crewViewLink", viewLink, viewCode));
	linkLayout->addWidget(makeLinkRow("Crew.ControlLink", "crewControlLink", controlLink, controlCode));
	auto *newKeys = named(new QPushButton(moduleText("Crew.NewKeys")), "crewNewKeysButton");
	newKeys->setToolTip(moduleText("Crew.NewKeysHint"));
	linkLayout->addWidget(newKeys);
	form->addRow(links);

	messageEdit = named(new QLineEdit, "crewMessageEdit");
	messageEdit->setMaxLength(presenterMessageMaxChars);
	messageEdit->setText(presenterMessage().text);
	blinkCheck = named(new QCheckBox(moduleText("Crew.Blink")), "crewBlinkCheck");
	blinkCheck->setChecked(presenterMessage().blink);
	auto *setMessage = named(new QPushButton(moduleText("Crew.SetMessage")), "crewSetMessageButton");
	auto *clearMessage = named(new QPushButton(moduleText("Crew.ClearMessage")), "crewClearMessageButton");
	form->addRow(moduleText("Crew.Message"), messageEdit);
	form->addRow(makeLine({{blinkCheck, 0}, {setMessage, 0}, {clearMessage, 0}}, true));

	connect(onCheck, &QCheckBox::toggled, this, &CrewPanel::applySettings);
	connect(networkCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &CrewPanel::applySettings);
	connect(addressCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &CrewPanel::applySettings);
	connect(portSpin, qOverload<int>(&QSpinBox::valueChanged), this, &CrewPanel::applySettings);
	connect(newKeys, &QPushButton::clicked, this, [] {
		if (CrewService *service = crewService())
			service->change(service->status().settings, true);
	});
	connect(setMessage, &QPushButton::clicked, this, [this] {
		setPresenterMessage({messageEdit->text(), blinkCheck->isChecked()});
	});
	connect(clearMessage, &QPushButton::clicked, this, [this] {
		messageEdit->clear();
		setPresenterMessage(PresenterMessage());
	});
	if (CrewService *service = crewService())
		connect(service, &CrewService::changed, this, &CrewPanel::refresh);
	refresh();
}

QWidget *CrewPanel::makeLinkRow(const char *titleKey, const char *name, QLineEdit *&field, QLabel *&code)
{
	auto *row = new QWidget;
	auto *layout = new QVBoxLayout(row);
	layout->setContentsMargins(0, 0, 0, 0);
	field = named(new QLineEdit, name);
	field->setReadOnly(true);
	auto *copy = new QPushButton(moduleText("Crew.Copy"));
	connect(copy, &QPushButton::clicked, field, [field] { QApplication::clipboard()->setText(field->text()); });
	layout->addLayout(makeLine({{new QLabel(moduleText(titleKey)), 0}, {field, 1}, {copy, 0}}));
	code = new QLabel;
	layout->addWidget(code);
	return row;
}

void CrewPanel::refresh()
{
	CrewService *service = crewService();
	setEnabled(service != nullptr);
	if (!service)
		return;
	const CrewPageStatus status = service->status();
	filling = true;
	onCheck->setChecked(status.settings.on);
	networkCombo->setCurrentIndex(status.settings.lan ? 1 : 0);
	addressCombo->clear();
	addressCombo->addItems(crewLanAddresses());
	addressCombo->setCurrentText(crewLinkAddress(status.settings.address));
	addressCombo->setEnabled(status.settings.lan && addressCombo->count() > 1);
	portSpin->setValue(status.settings.port);
	filling = false;
	problemLabel->setText(status.problem);
	problemLabel->setVisible(!status.problem.isEmpty());
	links->setVisible(!status.viewUrl.isEmpty());
	viewLink->setText(status.viewUrl);
	controlLink->setText(status.controlUrl);
	viewCode->setPixmap(QPixmap::fromImage(crewQrCode(status.viewUrl, 3)));
	controlCode->setPixmap(QPixmap::fromImage(crewQrCode(status.controlUrl, 3)));
}

void CrewPanel::applySettings()
{
	CrewService *service = crewService();
	if (filling || !service)
		return;
	CrewSettings settings = service->status().settings;
	settings.on = onCheck->isChecked();
	settings.lan = networkCombo->currentIndex() == 1;
	settings.port = portSpin->value();
	if (addressCombo->isEnabled())
		settings.address = addressCombo->currentText();
	service->change(settings, false);
}
