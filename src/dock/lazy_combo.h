#pragma once

#include <QComboBox>

#include <functional>

// A combo whose list is rebuilt by `filler` each time its popup opens, so it shows the
// host's sources of that moment.
class LazyCombo : public QComboBox {
	Q_OBJECT

public:
	std::function<void()> filler;

	void showPopup() override;
};
