#include "i18n/LocaleResolution.h"

#include "platform/Prompts.h"
#include "platform/Str.h"

LocaleMatch ResolveLocale(const std::string& name, LanguageFileEncoding encoding) {
  // Lower case in the thread's code page: the caption shows the name so.
  const std::string lower = str::ToLower(name.c_str());
  const std::string key(LocaleKeyOf(lower, encoding));
  LocaleMatch match = MatchLocaleKey(key);
  if (!match.found)
    Prompts::Current().ShowMessage(
        nullptr, "Your language file name may be not proper,\n please read the help file!",
        key.c_str(), MB_OK);
  return match;
}
