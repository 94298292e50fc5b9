// Registry scripts written and removed in private copies of the hives.
#include "Framework/RegKey.h"
#include "Framework/Registrar.h"
#include "tests/support/HiveSandbox.h"
#include "tests/support/RegistryReadBack.h"
#include <gtest/gtest.h>

namespace {
Registrar ExampleRegistrar()
{
    return Registrar(
        {
            {RegistryHive::ClassesRoot, L"Example.Thing", {{nullptr, L"Thing of %NAME%"}}, OnRemoval::DeleteKey},
            {RegistryHive::ClassesRoot, L"Example.Thing\\Server", {{nullptr, L"%MODULE%"}, {L"Both", L"%MODULE%|%MODULE%"}},
             OnRemoval::DeleteKey},
            {RegistryHive::LocalMachine, L"SOFTWARE\\Shared\\List", {{L"Example", L""}}, OnRemoval::DeleteValues},
        },
        {{L"%MODULE%", L"C:\\Program Files\\Example\\Example.dll"}, {L"%NAME%", L"Example"}});
}

class RegistrarTest : public testing::Test {
protected:
    HiveSandbox m_hives{HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
};
}

TEST_F(RegistrarTest, RegisterWritesEveryValueWithThePlaceholdersReplaced)
{
    ASSERT_EQ(S_OK, ExampleRegistrar().Register(kMachineRegistryRoots));
    EXPECT_EQ(L"Thing of Example", ReadRegistryString(HKEY_CLASSES_ROOT, L"Example.Thing", nullptr));
    EXPECT_EQ(L"C:\\Program Files\\Example\\Example.dll", ReadRegistryString(HKEY_CLASSES_ROOT, L"Example.Thing\\Server", nullptr));
    EXPECT_EQ(L"C:\\Program Files\\Example\\Example.dll|C:\\Program Files\\Example\\Example.dll",
              ReadRegistryString(HKEY_CLASSES_ROOT, L"Example.Thing\\Server", L"Both"));
    EXPECT_EQ(L"", ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Shared\\List", L"Example"));
}

TEST_F(RegistrarTest, UnregisterRemovesOwnKeysAndOnlyTheValuesOfSharedOnes)
{
    RegKey shared;
    ASSERT_EQ(ERROR_SUCCESS, shared.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Shared\\List"));
    ASSERT_EQ(ERROR_SUCCESS, shared.SetString(L"Other", L"kept"));
    const Registrar registrar = ExampleRegistrar();
    ASSERT_EQ(S_OK, registrar.Register(kMachineRegistryRoots));
    RegKey extra;
    ASSERT_EQ(ERROR_SUCCESS, extra.Create(HKEY_CLASSES_ROOT, L"Example.Thing\\Server\\Deeper"));
    extra.Close();

    EXPECT_EQ(S_OK, registrar.Unregister(kMachineRegistryRoots));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Example.Thing")) << "removed with every subkey";
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Shared\\List", L"Example"));
    EXPECT_EQ(L"kept", ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Shared\\List", L"Other"));
    EXPECT_EQ(S_OK, registrar.Unregister(kMachineRegistryRoots)) << "nothing left to remove is no failure";
}

TEST_F(RegistrarTest, InstallForTheUserPutsTheClassesUnderTheUsersClasses)
{
    for (const wchar_t* user : {L"user", L"USER", L"User"}) {
        ASSERT_EQ(S_OK, InstallServer(ExampleRegistrar(), TRUE, user)) << user;
        EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\Example.Thing\\Server")) << user;
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Example.Thing")) << user;
        EXPECT_TRUE(ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Shared\\List", L"Example")) << user;
        ASSERT_EQ(S_OK, InstallServer(ExampleRegistrar(), FALSE, user)) << user;
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\Example.Thing")) << user;
    }
    for (const wchar_t* machine : {L"", L"users", static_cast<const wchar_t*>(nullptr)}) {
        ASSERT_EQ(S_OK, InstallServer(ExampleRegistrar(), TRUE, machine));
        EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Example.Thing\\Server"));
        ASSERT_EQ(S_OK, InstallServer(ExampleRegistrar(), FALSE, machine));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Example.Thing"));
    }
}

TEST_F(RegistrarTest, AFailedInstallIsUndone)
{
    const Registrar failing(
        {
            {RegistryHive::ClassesRoot, L"Example.Thing", {{nullptr, L"thing"}}, OnRemoval::DeleteKey},
            {RegistryHive::ClassesRoot, L"\\Not\\A\\Key\\Path", {{nullptr, L"never"}}, OnRemoval::DeleteKey},
        },
        {});
    EXPECT_TRUE(FAILED(InstallServer(failing, TRUE, nullptr)));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Example.Thing"));
}
