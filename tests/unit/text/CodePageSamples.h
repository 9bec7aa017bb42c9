#pragma once
// Japanese and Chinese prose in the code pages other than CP949, made with iconv from UTF-8:
// a few paragraphs, as much as a book's first page, so that their statistics speak.

#include <iconv.h>
#include <QByteArray>
#include <QString>
#include <vector>

#include "encodings/Encoding.h"

namespace texttest {

inline const char kJapanese[] =
    "　雨の音で目が覚めた。窓の外はまだ暗く、遠くの山は雲に隠れていた。私は布団の中でしばらく"
    "天井を見つめ、昨日の手紙のことを考えていた。\r\n\r\n"
    "　祖母の家は駅から歩いて三十分ほどの小さな村にある。子供のころ、夏休みになると毎年そこへ"
    "行き、川で魚を捕まえたり、畑で野菜を採ったりした。祖母はいつも笑いながら、冷たい麦茶を"
    "出してくれた。\r\n\r\n"
    "「また来年も来るんだよ」と祖母は言った。その言葉を、私は今でもはっきりと覚えている。"
    "しかし大学に入ってからは忙しくなり、村へ帰ることはほとんどなくなってしまった。\r\n\r\n"
    "　手紙には、祖母が先月から体を悪くしていると書いてあった。私は荷物をまとめ、朝一番の電車に"
    "乗ることにした。駅までの道は静かで、濡れた石畳が街灯の光を映していた。\r\n";

inline const char kSimplifiedChinese[] =
    "　　清晨的雨声把我从梦中唤醒。窗外天色还很暗，远处的山被云雾遮住了。我躺在床上，望着"
    "天花板，想起了昨天收到的那封信。\r\n\r\n"
    "　　外婆的家在一个小村子里，从车站走过去大约要半个小时。小时候每到暑假，我都会去那里住上"
    "一段时间，在河边捉鱼，在田里摘菜。外婆总是笑着给我端来一碗凉茶。\r\n\r\n"
    "　　“明年还要来啊。”外婆这样对我说。这句话我至今还记得清清楚楚。可是上了大学以后，我变得"
    "越来越忙，几乎再也没有回过村子。\r\n\r\n"
    "　　信上说，外婆从上个月开始身体就不太好。我收拾好行李，决定坐第一班火车回去。去车站的路上"
    "很安静，湿漉漉的石板路映着路灯的光。\r\n";

inline const char kTraditionalChinese[] =
    "　　清晨的雨聲把我從夢中喚醒。窗外天色還很暗，遠處的山被雲霧遮住了。我躺在床上，望著"
    "天花板，想起了昨天收到的那封信。\r\n\r\n"
    "　　外婆的家在一個小村子裡，從車站走過去大約要半個小時。小時候每到暑假，我都會去那裡住上"
    "一段時間，在河邊捉魚，在田裡摘菜。外婆總是笑著給我端來一碗涼茶。\r\n\r\n"
    "　　「明年還要來啊。」外婆這樣對我說。這句話我至今還記得清清楚楚。可是上了大學以後，我變得"
    "越來越忙，幾乎再也沒有回過村子。\r\n\r\n"
    "　　信上說，外婆從上個月開始身體就不太好。我收拾好行李，決定坐第一班火車回去。去車站的路上"
    "很安靜，濕漉漉的石板路映著路燈的光。\r\n";

// The UTF-8 text in iconv's encoding `to`; empty when iconv cannot convert all of it.
inline QByteArray viaIconv(const char* utf8, const char* to) {
    const iconv_t cd = iconv_open(to, "UTF-8");
    if (cd == iconv_t(-1)) return {};
    QByteArray in(utf8);
    QByteArray out(in.size() * 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t srcLeft = size_t(in.size()), dstLeft = size_t(out.size());
    const bool done = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1) && srcLeft == 0;
    iconv_close(cd);
    if (!done) return {};
    out.resize(out.size() - qsizetype(dstLeft));
    return out;
}

struct CodePageSample {
    const char* name;
    const char* utf8;
    const char* iconvName;
    encodings::Encoding encoding;
};

inline const std::vector<CodePageSample>& codePageSamples() {
    using encodings::Encoding;
    static const std::vector<CodePageSample> samples = {
        {"ShiftJis", kJapanese, "SHIFT_JIS", Encoding::ShiftJis},
        {"EucJp", kJapanese, "EUC-JP", Encoding::EucJp},
        {"Gb18030", kSimplifiedChinese, "GB18030", Encoding::Gb18030},
        {"Big5", kTraditionalChinese, "BIG5", Encoding::Big5},
    };
    return samples;
}

}  // namespace texttest
