#include "platform/locale_id.h"

#include <algorithm>
#include <array>
#include <string>

namespace gestalon::core {
namespace {

struct LocaleEntry {
  std::string_view name;  // "ll_CC" or "ll" for the language's main country
  std::uint16_t id;
};

constexpr std::uint16_t kEnglishUs = 0x0409;

constexpr std::array kLocales = {
    LocaleEntry{"ja_JP", 0x0411}, LocaleEntry{"ja", 0x0411},    LocaleEntry{"en_US", 0x0409},
    LocaleEntry{"en_GB", 0x0809}, LocaleEntry{"en_AU", 0x0C09}, LocaleEntry{"en_CA", 0x1009},
    LocaleEntry{"en", 0x0409},    LocaleEntry{"zh_CN", 0x0804}, LocaleEntry{"zh_TW", 0x0404},
    LocaleEntry{"zh_HK", 0x0C04}, LocaleEntry{"zh_SG", 0x1004}, LocaleEntry{"zh", 0x0804},
    LocaleEntry{"ko_KR", 0x0412}, LocaleEntry{"ko", 0x0412},    LocaleEntry{"de_DE", 0x0407},
    LocaleEntry{"de_AT", 0x0C07}, LocaleEntry{"de_CH", 0x0807}, LocaleEntry{"de", 0x0407},
    LocaleEntry{"fr_FR", 0x040C}, LocaleEntry{"fr_CA", 0x0C0C}, LocaleEntry{"fr_BE", 0x080C},
    LocaleEntry{"fr_CH", 0x100C}, LocaleEntry{"fr", 0x040C},    LocaleEntry{"es_ES", 0x0C0A},
    LocaleEntry{"es_MX", 0x080A}, LocaleEntry{"es", 0x0C0A},    LocaleEntry{"it_IT", 0x0410},
    LocaleEntry{"it", 0x0410},    LocaleEntry{"pt_BR", 0x0416}, LocaleEntry{"pt_PT", 0x0816},
    LocaleEntry{"pt", 0x0816},    LocaleEntry{"nl_NL", 0x0413}, LocaleEntry{"nl", 0x0413},
    LocaleEntry{"ru_RU", 0x0419}, LocaleEntry{"ru", 0x0419},    LocaleEntry{"pl_PL", 0x0415},
    LocaleEntry{"pl", 0x0415},    LocaleEntry{"sv_SE", 0x041D}, LocaleEntry{"sv", 0x041D},
    LocaleEntry{"fi_FI", 0x040B}, LocaleEntry{"fi", 0x040B},    LocaleEntry{"da_DK", 0x0406},
    LocaleEntry{"da", 0x0406},    LocaleEntry{"nb_NO", 0x0414}, LocaleEntry{"nb", 0x0414},
    LocaleEntry{"cs_CZ", 0x0405}, LocaleEntry{"cs", 0x0405},    LocaleEntry{"hu_HU", 0x040E},
    LocaleEntry{"hu", 0x040E},    LocaleEntry{"tr_TR", 0x041F}, LocaleEntry{"tr", 0x041F},
    LocaleEntry{"th_TH", 0x041E}, LocaleEntry{"th", 0x041E},    LocaleEntry{"vi_VN", 0x042A},
    LocaleEntry{"vi", 0x042A},    LocaleEntry{"id_ID", 0x0421}, LocaleEntry{"id", 0x0421},
};

}  // namespace

std::uint16_t LocaleIdFromPosixName(std::string_view name) {
  // Drop ".codeset" and "@modifier".
  name = name.substr(0, name.find_first_of(".@"));
  std::string normalized(name);
  std::replace(normalized.begin(), normalized.end(), '-', '_');
  for (const auto& entry : kLocales) {
    if (entry.name == normalized) {
      return entry.id;
    }
  }
  const std::string language = normalized.substr(0, normalized.find('_'));
  for (const auto& entry : kLocales) {
    if (entry.name == language) {
      return entry.id;
    }
  }
  return kEnglishUs;
}

}  // namespace gestalon::core
