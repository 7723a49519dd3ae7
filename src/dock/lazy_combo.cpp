#include "dock/lazy_combo.h"

void LazyCombo::showPopup()
{
	if (filler)
		filler();
	QComboBox::showPopup();
}
