#include "macro/key_display_name.h"

#include <array>
#include <string_view>

#include "ui/ui_texts.h"

namespace kr450 {
namespace {

struct KeyName {
  uint8_t code;
  std::string_view name;
};

// Every code without a name of its own shows as not recordable.
constexpr auto NAMED = std::to_array<KeyName>({
    {8, "BACK"},       {9, "TAB"},         {12, "CLEAR"},      {13, "RETURN"},
    {16, "SHIFT"},     {17, "CONTROL"},    {18, "MENU"},       {19, "PAUSE"},
    {20, "CAPITAL"},   {21, "KANA"},       {23, "JUNJA"},      {24, "FINAL"},
    {25, "HANJA"},     {27, "ESCAPE"},     {28, "CONVERT"},    {29, "NONCONVERT"},
    {30, "ACCEPT"},    {31, "MODECHANGE"}, {32, "SPACE"},      {33, "PRIOR"},
    {34, "NEXT"},      {35, "END"},        {36, "HOME"},       {37, "LEFT"},
    {38, "UP"},        {39, "RIGHT"},      {40, "DOWN"},       {41, "SELECT"},
    {42, "PRINT"},     {43, "EXECUTE"},    {44, "SNAPSHOT"},   {45, "INSERT"},
    {46, "DELETE"},    {47, "HELP"},       {91, "LWIN"},       {92, "RWIN"},
    {93, "APPS"},      {95, "SLEEP"},      {96, "NUMPAD0"},    {97, "NUMPAD1"},
    {98, "NUMPAD2"},   {99, "NUMPAD3"},    {100, "NUMPAD4"},   {101, "NUMPAD5"},
    {102, "NUMPAD6"},  {103, "NUMPAD7"},   {104, "NUMPAD8"},   {105, "NUMPAD9"},
    {106, "MULTIPLY"}, {107, "ADD"},       {108, "SEPARATOR"}, {109, "SUBTRACT"},
    {110, "DECIMAL"},  {111, "DIVIDE"},    {112, "F1"},        {113, "F2"},
    {114, "F3"},       {115, "F4"},        {116, "F5"},        {117, "F6"},
    {118, "F7"},       {119, "F8"},        {120, "F9"},        {121, "F10"},
    {122, "F11"},      {123, "F12"},       {124, "F13"},       {125, "F14"},
    {126, "F15"},      {127, "F16"},       {128, "F17"},       {129, "F18"},
    {130, "F19"},      {131, "F20"},       {132, "F21"},       {133, "F22"},
    {134, "F23"},      {135, "F24"},       {144, "NUMLOCK"},   {145, "SCROLL"},
    {160, "LSHIFT"},   {161, "RSHIFT"},    {162, "LCONTROL"},  {163, "RCONTROL"},
    {164, "LMENU"},    {165, "RMENU"},     {186, ";:"},        {187, "+"},
    {188, ","},        {189, "-"},         {190, "."},         {191, "/?"},
    {192, "`~"},       {219, "[{"},        {220, "\\|"},       {221, "]}"},
    {222, " ' "},      {240, "Left_Key"},  {241, "Right_Key"}, {242, "Middle_Key"},
});

// Letters and digits name themselves; the rest by the table, indexed by code.
constexpr std::array<std::string_view, 256> BuildNames() {
  std::array<std::string_view, 256> names{};
  constexpr std::string_view LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  constexpr std::string_view DIGITS = "0123456789";
  for (size_t i = 0; i < LETTERS.size(); ++i) names[65 + i] = LETTERS.substr(i, 1);
  for (size_t i = 0; i < DIGITS.size(); ++i) names[48 + i] = DIGITS.substr(i, 1);
  for (const KeyName& entry : NAMED) names[entry.code] = entry.name;
  return names;
}

constexpr std::array<std::string_view, 256> NAMES = BuildNames();

}  // namespace

std::string_view KeyDisplayName(uint8_t keyCode) {
  const std::string_view name = NAMES[keyCode];
  return name.empty() ? NOT_RECORDABLE_KEY_TEXT : name;
}

}  // namespace kr450
