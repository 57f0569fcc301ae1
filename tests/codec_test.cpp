#include "platform/qt/iconv_code_page.h"
#include "tests/cp932_codec_cases.h"

namespace velkorn::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Iconv, Cp932, qt::IconvCodePage);

}  // namespace velkorn::testing
