#!/usr/bin/env python3
"""Writes small whole games for the seed folder of the whole-game fuzzer.

The tests give most seeds (run the tests with TUMU_GAME_SEEDS=FOLDER); their games seldom carry
pictures small enough for a fuzzer's input, so these games add the pictures of the picture seeds
to scenarios that show them in every layer, with text, variables, jumps and blocks around them.
Run from the repository root:
    tools/make-game-seeds.py fuzz/seeds/fuzz_game
"""
import importlib.util
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location('pictures', os.path.join(HERE, 'make-picture-seeds.py'))
pictures = importlib.util.module_from_spec(spec)
spec.loader.exec_module(pictures)
PICTURES = pictures.SEEDS


def sb1(name):
    """A picture seed as a packaged picture file: the marker, then the bitmap."""
    data = PICTURES[name]
    return data if data.startswith(b'ZQ') else b'ZQ' + data


LAYERS = """＃絵
背景
＃人物
人
＃前景
前
＃最前景
最前
＃セリフ枠
枠
＃セリフ
絵の上に言葉。

＃クリック待ち
＃絵オフ
＃人物オフ
＃前景オフ
＃最前景オフ
＃終了
"""

TEXT = """＃変数宣言
点
配［3］

＃変数宣言文字
名前

＃文字変数代入
名前
客
＃絵
背景
＃文章半透明オン
＃文章
”（名前）”さん、点は＃（点）＃。
＃文字 赤 大
赤い行
＃文字 マリン 追加
青

＃文章オフ
＃変数表示
点＃（点）＃
配＃（配［2］）＃

＃ラベル
上
点＝点＋１
配［2］＝点＊２
＃分岐範囲
点
3

＃1
＃GO
上
＃2
＃セリフ
終わり

＃＃＃＃
＃終了
"""

BLOCKS = """＃選択
はい
いいえ

＃1
＃人物
人
＃2
＃前景
前
＃＃＃＃
＃分岐最大
1
2

＃１
＃鳴砂テスト
＃２
＃＃＃＃
＃別シナリオ
次
＃終了
"""

SUB = """＃絵
背景
＃セリフ
呼ばれた先。

"""

GAMES = {
    'layers': (LAYERS, {
        '背景.sb1': sb1('topdown_24bit.bmp'),
        '人.sb1': sb1('packaged_rle4_odd_width.sb1'),
        '前.sb1': sb1('rle8_wrap_delta.bmp'),
        '最前.sb1': sb1('core_header_1bit.bmp'),
        '枠.sb1': sb1('bitfields_v5_32bit.bmp'),
    }),
    'text': (TEXT, {'背景.sb1': sb1('rgb555_16bit.bmp')}),
    'blocks': (BLOCKS, {
        '人.sb1': sb1('rle8_cut_short.bmp'),
        '前.sb1': sb1('bitfields_444_16bit.bmp'),
        '次.st1': SUB.encode('cp932'),
        '背景.sb1': sb1('topdown_24bit.bmp'),
        'tumu.ini': '＃ゲーム名\n種\n＃ウインドウ\n'.encode('cp932'),
    }),
}


def game_seed(scenario, files):
    """The fuzzer's input: the start scenario's text, then each file after a line "@@NAME"
    (names as the folder holds them: UTF-8)."""
    out = scenario.encode('cp932')
    for name, data in files.items():
        out += b'\n@@' + name.encode('utf-8') + b'\n' + data
    return out


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else 'fuzz/seeds/fuzz_game'
    os.makedirs(folder, exist_ok=True)
    for name, (scenario, files) in GAMES.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(game_seed(scenario, files))


if __name__ == '__main__':
    main()
