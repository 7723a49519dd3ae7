// Which of the host's dock calls the module uses. This binary offers the newer call, as
// OBS 30 and later do; OBS 29's older path is exercised end to end.
#include "base/module_host.h"
#include "dock/dock_registration.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <string>

namespace {

struct AddDockCall {
	int calls = 0;
	std::string id;
	std::string title;
	void *widget = nullptr;
	bool answer = true;
};
AddDockCall addDockCall;

} // namespace

// Found at run time by name, like the host's own function.
extern "C" __attribute__((visibility("default"))) bool obs_frontend_add_dock_by_id(const char *id, const char *title,
										   void *widget)
{
	++addDockCall.calls;
	addDockCall.id = id;
	addDockCall.title = title;
	addDockCall.widget = widget;
	return addDockCall.answer;
}

TEST(DockRegistration, TheNewerCallGetsTheIdTitleAndWidget)
{
	addDockCall = AddDockCall();
	QWidget dock;
	EXPECT_TRUE(addDockToMainWindow(&dock));
	EXPECT_EQ(addDockCall.calls, 1);
	EXPECT_EQ(addDockCall.id, "curtainup_main");
	EXPECT_EQ(addDockCall.title, moduleText("Dock.Title").toStdString());
	EXPECT_EQ(addDockCall.widget, &dock);
}

TEST(DockRegistration, ARefusalIsReported)
{
	addDockCall = AddDockCall();
	addDockCall.answer = false;
	QWidget dock;
	EXPECT_FALSE(addDockToMainWindow(&dock));
}
