#include <cstdlib>
#include <vector>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <gtest/gtest.h>

#include "keyhook/keycodes.h"
#include "keyhook/keyhook.h"
#include "keyhook/keyhook_p.h"

namespace kolvarin::keyhook {
namespace {

struct Posted {
    int message;
    uint64_t wParam;
    int64_t lParam;
    uint8_t keyState;
};

// Stands in for the main window: records the hook messages it receives.
class Recorder : public QObject {
public:
    bool event(QEvent* e) override
    {
        for (int message : {kHookKeyMessage, kHookAppCommandMessage, kHookMouseMessage})
            if (e->type() == THookEvent::TypeOf(message)) {
                const auto* h = static_cast<THookEvent*>(e);
                got.push_back({h->Message, h->WParam, h->LParam, h->KeyState});
                return true;
            }
        return QObject::event(e);
    }
    std::vector<Posted> Take()
    {
        QCoreApplication::processEvents();
        return std::exchange(got, {});
    }
    std::vector<Posted> got;
};

class KeyHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No X server and no session bus, whatever the machine has.
        ::unsetenv("DISPLAY");
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kolvarin-test-bus", 1);
        KSetKolvHandler(&window);
    }
    void TearDown() override
    {
        KDisableHook();
        KSetKolvHandler(nullptr);
    }
    Recorder window;
};

TEST_F(KeyHookTest, EnableNeedsAWindowAndPostsToIt)
{
    KSetKolvHandler(nullptr);
    EXPECT_FALSE(KEnableHook());
    EXPECT_FALSE(KPostHookMessage(kHookKeyMessage, 0x41, 0));
    KSetKolvHandler(&window);
    EXPECT_TRUE(KEnableHook());
    EXPECT_TRUE(KHookEnabled());
    EXPECT_TRUE(KPostHookMessage(kHookAppCommandMessage, 7, kAppCommandNext, 3));
    const auto got = window.Take();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, 2026);
    EXPECT_EQ(got[0].wParam, 7u);
    EXPECT_EQ(got[0].lParam, 0xB0000);
    EXPECT_EQ(got[0].keyState, 3);
    EXPECT_EQ(THookEvent::TypeOf(2025), QEvent::User + 2025);
    EXPECT_TRUE(KDisableHook());
    EXPECT_FALSE(KDisableHook());
}

TEST_F(KeyHookTest, KeysOfTheProgramsWindowsBecomeMessages)
{
    QWidget parent;
    QWidget* child = new QWidget(&parent);
    auto press = [&](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, key, modifiers);
        QCoreApplication::sendEvent(child, &event); // ignored by the child, so it reaches the parent too
        return window.Take();
    };
    EXPECT_TRUE(press(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier).empty());
    ASSERT_TRUE(KEnableHook());
    struct Case {
        QEvent::Type type;
        int key;
        Qt::KeyboardModifiers modifiers;
        uint64_t vk;
        int64_t lParam;
        uint8_t keyState;
    } cases[] = {
        {QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier, 0x50, 0, 5},
        {QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier, 0x73, kKeyAltBit, 2},
        {QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, 0x20, kKeyUpBit | kKeyPreviousBit, 0},
        {QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, 0x26, 0, 0},
    };
    for (const Case& c : cases) {
        const auto got = press(c.type, c.key, c.modifiers);
        ASSERT_EQ(got.size(), 1u) << c.key;
        EXPECT_EQ(got[0].message, kHookKeyMessage);
        EXPECT_EQ(got[0].wParam, c.vk);
        EXPECT_EQ(got[0].lParam, c.lParam);
        EXPECT_EQ(got[0].keyState, c.keyState);
    }
    EXPECT_TRUE(press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier).empty());
    KDisableHook();
    EXPECT_TRUE(press(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier).empty());
}

TEST_F(KeyHookTest, AKeyFromTheWindowSystemCountsOnce)
{
    // Qt hands it to the window first, then to the focus widget in it and up.
    QWidget parent;
    QWidget* child = new QWidget(&parent);
    child->setFocusPolicy(Qt::StrongFocus);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    child->setFocus();
    ASSERT_TRUE(KEnableHook());
    QTest::keyPress(parent.windowHandle(), Qt::Key_F);
    const auto got = window.Take();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wParam, 0x46u);
}

TEST_F(KeyHookTest, AnOpenPopupMenuKeepsItsKeysAndWheel)
{
    ASSERT_TRUE(KEnableHook());
    QWidget owner;
    QMenu menu(&owner);
    menu.addAction("One");
    menu.addAction("Two");
    auto send = [&](QWidget* to) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(to, &down);
        QWheelEvent wheel(QPointF(1, 1), QPointF(1, 1), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(to, &wheel);
        return window.Take().size();
    };
    menu.popup(QPoint(0, 0));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(send(&menu), 0u);
    EXPECT_EQ(send(&owner), 0u);
    menu.hide();
    EXPECT_EQ(send(&owner), 2u);
}

TEST_F(KeyHookTest, WheelTurnsBecomeSignedSteps)
{
    ASSERT_TRUE(KEnableHook());
    QWidget widget;
    auto turn = [&](int delta) {
        QWheelEvent event(QPointF(1, 1), QPointF(1, 1), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&widget, &event);
        return window.Take();
    };
    struct Case {
        int delta;
        int64_t lParam;
    } cases[] = {{240, 2}, {120, 1}, {30, 1}, {-120, 0xFF}, {-360, 0xFD}};
    for (const Case& c : cases) {
        const auto got = turn(c.delta);
        ASSERT_EQ(got.size(), 1u) << c.delta;
        EXPECT_EQ(got[0].message, kHookMouseMessage);
        EXPECT_EQ(got[0].wParam, kMouseWheelMessage);
        EXPECT_EQ(got[0].lParam, c.lParam) << c.delta;
    }
    EXPECT_TRUE(turn(0).empty());
}

TEST_F(KeyHookTest, MprisMethodsBecomeMediaCommands)
{
    const QString player = QStringLiteral("org.mpris.MediaPlayer2.Player");
    struct Case {
        const char* member;
        int64_t lParam;
    } cases[] = {{"Next", 0xB0000},      {"Previous", 0xC0000},     {"Stop", 0xD0000},
                 {"PlayPause", 0xE0000}, {"Play", kAppCommandPlay}, {"Pause", kAppCommandPause}};
    TMprisObject object;
    const QDBusConnection noBus(QStringLiteral("kolvarin-no-bus"));
    for (const Case& c : cases) {
        EXPECT_EQ(MprisAppCommand(player, QString::fromLatin1(c.member)), c.lParam) << c.member;
        const QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.mpris.MediaPlayer2.kolvarin"),
                                                                 QStringLiteral("/org/mpris/MediaPlayer2"), player,
                                                                 QString::fromLatin1(c.member));
        EXPECT_TRUE(object.handleMessage(call, noBus));
        const auto got = window.Take();
        ASSERT_EQ(got.size(), 1u) << c.member;
        EXPECT_EQ(got[0].message, kHookAppCommandMessage);
        EXPECT_EQ(got[0].lParam, c.lParam);
    }
    EXPECT_EQ(MprisAppCommand(player, QStringLiteral("Seek")), std::nullopt);
    EXPECT_EQ(MprisAppCommand(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Next")), std::nullopt);
    const QDBusMessage raise =
        QDBusMessage::createMethodCall(QStringLiteral("x"), QStringLiteral("/org/mpris/MediaPlayer2"),
                                       QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Raise"));
    EXPECT_TRUE(object.handleMessage(raise, noBus));
    EXPECT_TRUE(window.Take().empty());
    EXPECT_TRUE(object.introspect(QString()).contains(QStringLiteral("PlayPause")));
}

TEST(KeyCodes, QtAndX11KeysMapToVirtualKeys)
{
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_A), 0x41);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_7), 0x37);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F24), 0x87);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Enter), 0x0D);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_MediaNext), 0xB0);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_unknown), 0);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_y), 0x59);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Y), 0x59);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_5), 0x65);
    EXPECT_EQ(VirtualKeyFromKeysym(XF86XK_AudioPlay), 0xB3);
    // Every key a default binding uses can be grabbed and comes back as itself.
    for (uint16_t vk : {0x59, 0x58, 0x43, 0x56, 0x42, 0x73, 0x20, 0x26, 0x28, 0x25, 0x27,
                        0x0D, 0x72, 0x53, 0x31, 0x32, 0x78, 0x46, 0x54, 0x50, 0x41, 0x55}) {
        const unsigned long keysym = KeysymFromVirtualKey(vk);
        ASSERT_NE(keysym, 0u) << vk;
        EXPECT_EQ(VirtualKeyFromKeysym(keysym), vk);
    }
    EXPECT_EQ(KeysymFromVirtualKey(0x2A), 0u);
}

} // namespace
} // namespace kolvarin::keyhook
