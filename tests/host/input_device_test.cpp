#include "host/input_device.h"
#include "host/key_translation.h"

#include <gtest/gtest.h>

TEST(KeyTranslation, TableCoversLettersDigitsAndNamedKeysAndIgnoresTheRest)
{
    EXPECT_EQ(translateKey(65), 65);
    EXPECT_EQ(translateKey(48), 48);
    EXPECT_EQ(translateKey(32), 32);
    EXPECT_EQ(translateKey(39), 222);
    EXPECT_EQ(translateKey(257), 13);
    EXPECT_EQ(translateKey(290), 112);
    EXPECT_EQ(translateKey(301), 123);
    EXPECT_EQ(translateKey(340), 16);
    EXPECT_EQ(translateKey(345), 17);
    EXPECT_EQ(translateKey(335), 0);  // keypad Enter
    EXPECT_EQ(translateKey(342), 0);  // Alt
    EXPECT_EQ(translateKey(302), 0);  // F13
    EXPECT_EQ(translateKey(-1), 0);
    EXPECT_EQ(translateKey(348), 0);
}

TEST(KeyTranslation, SomeKeysAlsoSendCharacters)
{
    EXPECT_EQ(keyCharacter(keyBackspace), 8);
    EXPECT_EQ(keyCharacter(keyEnter), 13);
    EXPECT_EQ(keyCharacter(keyLeft), 65573);
    EXPECT_EQ(keyCharacter(keyInsert), 45 + 65536);
    EXPECT_EQ(keyCharacter(keyDelete), 127);
    EXPECT_EQ(keyCharacter(65), 0);
    EXPECT_EQ(keyCharacter(keyF1), 0);
}

TEST(KeyTranslation, OnlyDigitsLettersAndPunctuationAreTypingKeys)
{
    for (int code : {int('0'), int('9'), int('A'), int('Z'), int(keySemicolon), int(keyComma), int(keyGrave),
                     int(keyLeftBracket), int(keyQuote)})
        EXPECT_TRUE(isTypingKey(code)) << code;
    for (int code : {int(keySpace), int(keyEnter), int(keyLeft), int(keyF1), int(keyIsoExtra), 193, 218, int('a')})
        EXPECT_FALSE(isTypingKey(code)) << code;
}

TEST(InputDevice, PressesAreCountedOncePerUpdateAndHeldKeysStayDown)
{
    c_InputDevice input;
    input.pressKey(keyUp);
    input.pressKey(keyUp);  // a repeat adds no press
    input.releaseKey(keyDown);
    EXPECT_EQ(input.hitCount(keyUp), 1);
    EXPECT_TRUE(input.isDown(keyUp));
    input.endUpdate();
    EXPECT_EQ(input.hitCount(keyUp), 0);
    EXPECT_TRUE(input.isDown(keyUp));

    input.pressKey(keySpace);
    input.releaseKey(keySpace);
    EXPECT_EQ(input.hitCount(keySpace), 1);
    EXPECT_FALSE(input.isDown(keySpace));
    EXPECT_EQ(input.hitCount(0), 0);
    EXPECT_EQ(input.hitCount(512), 0);
    EXPECT_FALSE(input.isDown(-3));
}

TEST(InputDevice, HitQueueCountsPressesUpToItsCapacity)
{
    c_InputDevice input;
    const int presses = c_InputDevice::hitQueueCapacity + 8;
    for (int i = 0; i < presses; ++i) input.pressKey(100 + i);
    int counted = 0;
    for (int code = 1; code < c_InputDevice::keyCount; ++code) counted += input.hitCount(code);
    EXPECT_EQ(counted, c_InputDevice::hitQueueCapacity);
    EXPECT_TRUE(input.isDown(100 + presses - 1));  // held though not counted
}

TEST(InputDevice, LeftButtonAndFirstTouchMirrorEachOther)
{
    c_InputDevice input;
    input.pressKey(keyMouseLeft);
    EXPECT_EQ(input.hitCount(keyMouseLeft), 1);
    EXPECT_EQ(input.hitCount(keyTouchBase), 1);
    EXPECT_EQ(input.mouseHitCount(0), 1);
    input.releaseKey(keyMouseLeft);
    EXPECT_FALSE(input.isDown(keyTouchBase));
}

TEST(InputDevice, CharactersQueueInOrderUpToTheCapacityAndAreDroppedAfterTheUpdate)
{
    c_InputDevice input;
    for (int i = 0; i < c_InputDevice::charQueueCapacity + 8; ++i) input.pushChar('a' + i % 26);
    int taken = 0;
    while (int ch = input.nextChar()) EXPECT_EQ(ch, 'a' + taken++ % 26);
    EXPECT_EQ(taken, c_InputDevice::charQueueCapacity);
    input.endUpdate();
    input.pushChar('z');
    EXPECT_EQ(input.nextChar(), 'z');
    EXPECT_EQ(input.nextChar(), 0);
}

// A key that arrives between steps is looked at before its step takes it.
TEST(InputDevice, PendingCharactersAreSeenInOrderWithoutBeingTaken)
{
    c_InputDevice input;
    input.pushChar('q');
    input.pushChar('w');
    ASSERT_EQ(input.pendingCharCount(), 2);
    EXPECT_EQ(input.pendingChar(0), 'q');
    EXPECT_EQ(input.pendingChar(1), 'w');
    EXPECT_EQ(input.nextChar(), 'q');
    ASSERT_EQ(input.pendingCharCount(), 1);
    EXPECT_EQ(input.pendingChar(0), 'w');
    input.endUpdate();
    EXPECT_EQ(input.pendingCharCount(), 0);
}

TEST(InputDevice, WheelIsReplacedByLaterPointerEventsAndTakenOnce)
{
    c_InputDevice input;
    input.movePointer(10, 20, 1);
    EXPECT_TRUE(input.wheelTurned());
    EXPECT_EQ(input.takeWheel(), 1.0f);
    EXPECT_FALSE(input.wheelTurned());
    EXPECT_EQ(input.takeWheel(), 0.0f);
    input.movePointer(10, 20, 1);
    input.movePointer(11, 20, 0);
    EXPECT_EQ(input.takeWheel(), 0.0f);
    EXPECT_EQ(input.pointerX(), 11.0f);
    EXPECT_EQ(input.touchX[0], 11.0f);
}

// A quick chord can bring Control down and up in other polls than its key:
// what counts is the modifiers the key's own event carried.
TEST(InputDevice, PressesKeepTheModifiersTheirKeyEventsCarried)
{
    c_InputDevice input;
    input.pressKey(keyControl);
    input.endUpdate();
    input.releaseKey(keyControl);
    input.pressKey('Z', modifierControl);
    input.releaseKey('Z');
    input.pressKey('Z', modifierControl | modifierShift);
    input.pressKey('Z');  // a repeat of the held key adds no press
    input.pressKey('Y');
    EXPECT_EQ(input.hitCount('Z'), 2);
    EXPECT_EQ(input.hitCountWith('Z', modifierControl), 2);
    EXPECT_EQ(input.hitCountWith('Z', modifierControl | modifierShift), 1);
    EXPECT_EQ(input.hitCountWith('Y', modifierControl), 0);
    EXPECT_EQ(input.hitCountWith('Y', 0), 1);
    input.endUpdate();
    EXPECT_EQ(input.hitCountWith('Z', modifierControl), 0);
    EXPECT_EQ(translateModifiers(0x0001 | 0x0002 | 0x0004), modifierShift | modifierControl);  // Alt is dropped
}
