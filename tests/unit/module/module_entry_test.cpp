// The built module as the host sees it: loaded by file name, its entry points found by
// name. The version it reports must be the libobs API of the OBS it was built for.
#include <gtest/gtest.h>
#include <obs.h>

#include <dlfcn.h>

#include <QString>
#include <QStringList>

namespace {

uint32_t semanticVersion(const QString &text)
{
	const QStringList parts = text.split(QLatin1Char('.'));
	return MAKE_SEMANTIC_VERSION(parts.value(0).toUInt(), parts.value(1).toUInt(), parts.value(2).toUInt());
}

class ModuleEntry : public ::testing::Test {
protected:
	void SetUp() override
	{
		module = dlopen(CURTAINUP_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
		ASSERT_NE(module, nullptr) << dlerror();
	}
	void TearDown() override
	{
		if (module)
			dlclose(module);
	}
	template<typename Function> Function entry(const char *name)
	{
		return reinterpret_cast<Function>(dlsym(module, name));
	}

	void *module = nullptr;
};

TEST_F(ModuleEntry, ReportsTheLibobsVersionOfItsHost)
{
	const auto moduleVersion = entry<uint32_t (*)()>("obs_module_ver");
	ASSERT_NE(moduleVersion, nullptr);
	EXPECT_EQ(moduleVersion(), semanticVersion(QStringLiteral(CURTAINUP_HOST_LIBOBS_VERSION)))
		<< "built against libobs " << CURTAINUP_HOST_LIBOBS_VERSION;
	EXPECT_EQ(moduleVersion(), obs_get_version()) << "the libobs this process loaded";
}

TEST_F(ModuleEntry, NamesItself)
{
	const auto moduleName = entry<const char *(*)()>("obs_module_name");
	ASSERT_NE(moduleName, nullptr);
	EXPECT_STREQ(moduleName(), "CurtainUp");
	EXPECT_NE(entry<bool (*)()>("obs_module_load"), nullptr);
	EXPECT_NE(entry<void (*)()>("obs_module_unload"), nullptr);
}

} // namespace
