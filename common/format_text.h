// Message texts with parameters, as the string tables hold them: "%1" to
// "%9" stand for the arguments wherever a translation puts them.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

// `pattern` with each "%n" (n from 1 to 9) replaced by the n-th argument
// (nothing when there are fewer) and "%%" by one percent sign; any other
// percent sign stays as it is. The arguments are inserted as they are: a
// "%1" inside one is not replaced again.
std::wstring FormatText(std::wstring_view pattern, std::initializer_list<std::wstring_view> args);
