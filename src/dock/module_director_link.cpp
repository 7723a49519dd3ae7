#include "dock/dock_director.h"

namespace {

class ModuleDirectorLink final : public DockDirector {
public:
	void startStandby() override { run(&Director::startStandby); }
	void skipToMain() override { run(&Director::skipToMain); }
	void toggleBreak() override { run(&Director::toggleBreak); }
	void startEnding() override { run(&Director::startEnding); }
	void cancel() override { run(&Director::cancel); }
	void toggleHold() override { run(&Director::toggleHold); }
	void toggleArm() override
	{
		Director *director = directorInstance();
		if (!director)
			return;
		// The button is offered only where an arming can be made.
		if (director->flowStatus().armed)
			director->disarm();
		else
			director->arm(ArmRequest());
	}
	void addTime(int64_t ms) override
	{
		if (Director *director = directorInstance())
			director->addTime(ms);
	}

	FlowStatus flowStatus() const override
	{
		const Director *director = directorInstance();
		return director ? director->flowStatus() : FlowStatus();
	}

private:
	static void run(void (Director::*operation)())
	{
		if (Director *director = directorInstance())
			(director->*operation)();
	}
};

} // namespace

std::unique_ptr<DockDirector> makeModuleDirectorLink()
{
	return std::make_unique<ModuleDirectorLink>();
}
