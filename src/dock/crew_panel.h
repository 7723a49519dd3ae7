#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The Crew page of the dock: the switch, the reach and port of the crew's page, its two
// links with Copy buttons and QR codes, "New keys", and the message to the presenter.
class CrewPanel : public QWidget {
public:
	CrewPanel();

private:
	void refresh();
	void applySettings();
	QWidget *makeLinkRow(const char *titleKey, const char *name, QLineEdit *&field, QLabel *&code);

	QCheckBox *onCheck;
	QComboBox *networkCombo;
	QComboBox *addressCombo;
	QSpinBox *portSpin;
	QLabel *problemLabel;
	QWidget *links;
	QLineEdit *viewLink;
	QLineEdit *controlLink;
	QLabel *viewCode;
	QLabel *controlCode;
	QLineEdit *messageEdit;
	QCheckBox *blinkCheck;
	bool filling = false;
};
