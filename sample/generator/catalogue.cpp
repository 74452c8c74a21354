#include "catalogue.h"

namespace {

// Sets the data-file attributes. `seasons` and `colours` are strings of
// "1"/"0" in the data file's order (spring, summer, autumn, winter; white,
// red, yellow, blue, purple, inconspicuous).
void attributes(Species& s, const char* seasons, const char* colours, int flowerShape, int stemHabit,
                int leafMargin, int leafShape)
{
    for (int i = 0; i < 4; ++i)
        s.seasons[i] = seasons[i] == '1' ? 1 : 0;
    for (int i = 0; i < 6; ++i)
        s.colours[i] = colours[i] == '1' ? 1 : 0;
    s.flowerShape = flowerShape;
    s.stemHabit = stemHabit;
    s.leafMargin = leafMargin;
    s.leafShape = leafShape;
    s.toothed = leafMargin == 0;
}

const QColor White(250, 250, 244);

} // namespace

std::vector<Species> catalogueSpecies()
{
    std::vector<Species> list;
    using V = View;

    {
        Species s;
        s.name = QStringLiteral("ハコベ");
        attributes(s, "1100", "100000", 3, 1, 1, 2);
        s.form = Form::Chickweed; s.petal = White; s.accent = QColor(0x9c, 0x3b, 0x6e);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Ovate;
        s.leafWidth = 0.55; s.leafSize = 0.55; s.stemColour = QColor(0x7a, 0x6a, 0x3c);
        s.inflo = Inflo::Terminal; s.flowerCount = 3; s.stems = 4; s.nodes = 6; s.height = 0.42;
        s.flowerSize = 0.7; s.fruit = Fruit::Capsule;
        s.heightText = QStringLiteral("10〜20cm"); s.flowerText = QStringLiteral("花の径 6〜7mm");
        s.fruitText = QStringLiteral("実と種子（種子は径1mmほど）");
        s.views = {V::Habit, V::Flower, V::Leaf, V::Fruit};
        s.memo = {
            QStringLiteral("道ばたや畑、庭のすみなど、どこにでも生える。"),
            QStringLiteral("白い花びらは5枚だが、1枚ずつ深く2つに裂けるので10枚に見える。"),
            QStringLiteral("よく似たウシハコベは花柱が5本、ハコベは3本。花の中をのぞけば見分けられる。"),
            QStringLiteral("春の七草の「はこべら」はこの仲間。小鳥のえさにもされる。"),
        };
        s.seed = 101;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("セイヨウタンポポ");
        attributes(s, "1110", "001000", 2, 3, 0, 4);
        s.form = Form::Dandelion; s.petal = QColor(0xf7, 0xcf, 0x14); s.accent = QColor(0xe0, 0xa8, 0x00);
        s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Runcinate;
        s.leafWidth = 0.22; s.leafSize = 1.0; s.inflo = Inflo::Terminal; s.flowerCount = 3;
        s.height = 0.45; s.flowerSize = 1.1; s.fruit = Fruit::Puff; s.scene = Scene::Roadside;
        s.heightText = QStringLiteral("15〜30cm"); s.flowerText = QStringLiteral("頭花の径 3.5〜5cm");
        s.fruitText = QStringLiteral("綿毛（冠毛のついた実）");
        s.views = {V::Habit, V::Flower, V::Leaf, V::Fruit};
        s.memo = {
            QStringLiteral("ヨーロッパ原産の帰化植物。市街地の道ばたや空き地に多い。"),
            QStringLiteral("頭花の下の総苞片が下向きに反り返るのが目印。"),
            QStringLiteral("在来のカントウタンポポなどは総苞片が反り返らない。"),
            QStringLiteral("受粉しなくても種子ができるので、ほぼ一年中花が見られる。"),
            QStringLiteral("綿毛は風に乗って遠くまで運ばれる。"),
        };
        s.seed = 102;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ナズナ");
        attributes(s, "1000", "100000", 9, 1, 0, 4);
        s.form = Form::Cross4; s.petal = White; s.accent = QColor(0xc8, 0xd0, 0x60);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Basal; s.blade = Blade::Runcinate;
        s.leafWidth = 0.2; s.leafSize = 0.75; s.inflo = Inflo::Raceme; s.flowerCount = 14; s.stems = 2;
        s.nodes = 3; s.height = 0.72; s.flowerSize = 0.55; s.fruit = Fruit::Silicle; s.tall = true;
        s.heightText = QStringLiteral("10〜40cm"); s.flowerText = QStringLiteral("花の径 3〜4mm　花びら4枚");
        s.fruitText = QStringLiteral("三味線のばちに似た実");
        s.views = {V::Habit, V::Flower, V::Fruit};
        s.memo = {
            QStringLiteral("田畑のあぜや道ばたに生える。春の七草の一つ。"),
            QStringLiteral("実が三味線のばちに似ているので「ペンペングサ」とも呼ばれる。"),
            QStringLiteral("根元の葉はタンポポのように羽状に裂け、冬はロゼットで過ごす。"),
            QStringLiteral("花は下から上へ咲き進み、下の方から順に実になる。"),
        };
        s.seed = 103;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ホトケノザ");
        attributes(s, "1000", "010010", 6, 1, 0, 2);
        s.form = Form::Lipped; s.petal = QColor(0xc2, 0x35, 0x8a); s.accent = QColor(0x7a, 0x14, 0x50);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Round;
        s.leafWidth = 0.9; s.leafSize = 0.45; s.toothed = true; s.inflo = Inflo::AxilWhorl;
        s.stems = 4; s.nodes = 5; s.height = 0.5; s.flowerSize = 0.9; s.stemColour = QColor(0x8a, 0x4a, 0x5a);
        s.heightText = QStringLiteral("10〜30cm"); s.flowerText = QStringLiteral("花の長さ 約2cm");
        s.views = {V::Habit, V::Flower};
        s.memo = {
            QStringLiteral("畑や道ばたに群れて生える。"),
            QStringLiteral("半円形の葉が茎を囲むように向かい合ってつき、仏の座る台座に見立てた名。"),
            QStringLiteral("紅紫色の細長い唇形の花が、葉のつけ根に輪のように並ぶ。"),
            QStringLiteral("春の七草の「ほとけのざ」はキク科のコオニタビラコのことで、この草ではない。"),
            QStringLiteral("つぼみのまま実を結ぶ閉鎖花もつける。"),
        };
        s.seed = 104;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヒメオドリコソウ");
        attributes(s, "1000", "010010", 6, 1, 0, 2);
        s.form = Form::Lipped; s.petal = QColor(0xe0, 0x96, 0xc0); s.accent = QColor(0x9a, 0x3a, 0x70);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Heart;
        s.leafWidth = 0.8; s.leafSize = 0.5; s.leafColour = QColor(0x5e, 0x74, 0x3c);
        s.inflo = Inflo::AxilWhorl; s.stems = 5; s.nodes = 5; s.height = 0.45; s.flowerSize = 0.6;
        s.stemColour = QColor(0x80, 0x5a, 0x5a);
        s.heightText = QStringLiteral("10〜25cm");
        s.views = {V::Habit};
        s.seed = 105;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("オオイヌノフグリ");
        attributes(s, "1001", "000100", 9, 1, 0, 2);
        s.form = Form::Speedwell; s.petal = QColor(0x4f, 0x86, 0xe0); s.accent = QColor(0x1e, 0x3c, 0x9a);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Ovate;
        s.leafWidth = 0.7; s.leafSize = 0.42; s.inflo = Inflo::Axillary; s.stems = 5; s.nodes = 6;
        s.height = 0.32; s.flowerSize = 0.75; s.fruit = Fruit::HeartCapsule;
        s.heightText = QStringLiteral("10〜20cm"); s.flowerText = QStringLiteral("花の径 7〜10mm");
        s.fruitText = QStringLiteral("ハート形の実");
        s.views = {V::Habit, V::Flower, V::Fruit};
        s.memo = {
            QStringLiteral("ヨーロッパ原産の帰化植物。早春の日だまりに一面に咲く。"),
            QStringLiteral("るり色の花びらは4枚に見え、下の1枚だけが小さい。"),
            QStringLiteral("花は1日でしぼむ。"),
            QStringLiteral("名は実の形から。在来のイヌノフグリは花がずっと小さく、淡紅色。"),
        };
        s.seed = 106;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("スミレ");
        attributes(s, "1000", "000010", 10, 3, 0, 7);
        s.form = Form::Violet; s.petal = QColor(0x5a, 0x2a, 0x98); s.accent = QColor(0xf4, 0xf0, 0xf8);
        s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Lanceolate;
        s.leafWidth = 0.3; s.leafSize = 1.1; s.inflo = Inflo::Terminal; s.flowerCount = 4;
        s.height = 0.32; s.flowerSize = 1.4; s.fruit = Fruit::Valves3;
        s.heightText = QStringLiteral("7〜15cm"); s.flowerText = QStringLiteral("花の径 1.5〜2cm");
        s.fruitText = QStringLiteral("3つに裂けた実と種子");
        s.views = {V::Habit, V::Flower, V::Leaf, V::Fruit};
        s.memo = {
            QStringLiteral("日当たりのよい道ばたや草地、石垣のすき間などに生える。"),
            QStringLiteral("葉は根元から出て細長く、葉柄に翼がある。"),
            QStringLiteral("花は濃い紫色。左右の花びらのつけ根に白い毛がある。"),
            QStringLiteral("後ろに突き出た距を大工道具の「墨入れ」に見立てたのが名の由来という説がある。"),
            QStringLiteral("夏から秋には閉鎖花をつけ、実がはじけて種をとばす。"),
        };
        s.seed = 107;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("カタバミ");
        attributes(s, "1110", "001000", 10, 0, 1, 5);
        s.form = Form::Round5; s.petal = QColor(0xf5, 0xd0, 0x10); s.accent = QColor(0xc8, 0x70, 0x10);
        s.habit = Habit::Creeping; s.arrangement = Arrangement::Trifoliate; s.blade = Blade::Obcordate;
        s.leafWidth = 1.0; s.leafSize = 0.3; s.inflo = Inflo::Umbel; s.flowerCount = 2;
        s.nodes = 5; s.height = 0.25; s.flowerSize = 1.2; s.fruit = Fruit::Cylinder;
        s.heightText = QStringLiteral("10〜30cm"); s.flowerText = QStringLiteral("花の径 約8mm");
        s.views = {V::Habit, V::Flower, V::Leaf};
        s.memo = {
            QStringLiteral("庭や道ばた、畑に生える。茎は地をはい、節から根を出す。"),
            QStringLiteral("3枚の小葉はハート形で、夜になると閉じて垂れ下がる。"),
            QStringLiteral("葉の片側が欠けたように見えることが名の由来という。"),
            QStringLiteral("黄色い花は日が当たると開く。熟した実に触れると種がはじけ飛ぶ。"),
            QStringLiteral("葉にシュウ酸を含み、昔は真ちゅうの鏡を磨くのに使った。"),
        };
        s.seed = 108;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヘビイチゴ");
        attributes(s, "1000", "001000", 10, 0, 0, 5);
        s.form = Form::Round5; s.petal = QColor(0xf2, 0xc8, 0x1a); s.accent = QColor(0xe0, 0xb0, 0x10);
        s.habit = Habit::Creeping; s.arrangement = Arrangement::Trifoliate; s.blade = Blade::Ovate;
        s.leafWidth = 0.65; s.leafSize = 0.32; s.inflo = Inflo::Axillary; s.nodes = 5; s.height = 0.22;
        s.flowerSize = 0.85; s.fruit = Fruit::Strawberry; s.stemColour = QColor(0x7a, 0x5a, 0x3a);
        s.heightText = QStringLiteral("茎は地をはう"); s.fruitText = QStringLiteral("赤い実（径約1cm）");
        s.views = {V::Habit, V::Fruit};
        s.seed = 109;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("シロツメクサ");
        attributes(s, "1110", "100000", 5, 0, 0, 5);
        s.form = Form::CloverHead; s.petal = White; s.accent = QColor(0xb8, 0xa8, 0x88);
        s.habit = Habit::Creeping; s.arrangement = Arrangement::Trifoliate; s.blade = Blade::Round;
        s.leafWidth = 0.85; s.leafSize = 0.32; s.inflo = Inflo::Axillary; s.nodes = 6; s.height = 0.38;
        s.flowerSize = 1.4; s.scene = Scene::Meadow;
        s.heightText = QStringLiteral("花茎 10〜30cm"); s.flowerText = QStringLiteral("花の集まりの径 約2cm");
        s.habitatText = QStringLiteral("生育地　公園の芝生・道ばた");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.memo = {
            QStringLiteral("ヨーロッパ原産。江戸時代、ガラス器を運ぶ箱の詰め物として渡来したので「詰め草」という。"),
            QStringLiteral("茎は地をはい、節から葉と花の柄を立てる。"),
            QStringLiteral("小葉にはよく白い斑が入る。小葉が4枚のものが「四つ葉のクローバー」。"),
            QStringLiteral("花は咲き終わると下から垂れ下がり、茶色くなる。"),
        };
        s.seed = 110;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("アカツメクサ");
        attributes(s, "1100", "010010", 5, 1, 1, 5);
        s.form = Form::CloverHead; s.petal = QColor(0xd2, 0x4a, 0x8c); s.accent = QColor(0x9a, 0x2a, 0x60);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Trifoliate; s.blade = Blade::Elliptic;
        s.leafWidth = 0.5; s.leafSize = 0.6; s.inflo = Inflo::Terminal; s.stems = 3; s.nodes = 4;
        s.height = 0.55; s.flowerSize = 1.3;
        s.heightText = QStringLiteral("30〜60cm"); s.flowerText = QStringLiteral("花の集まりの径 2〜3cm");
        s.views = {V::Habit, V::Flower};
        s.seed = 111;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("カラスノエンドウ");
        attributes(s, "1000", "010010", 5, 2, 1, 6);
        s.form = Form::Pea; s.petal = QColor(0xc8, 0x3c, 0x82); s.accent = QColor(0x7e, 0x1e, 0x58);
        s.habit = Habit::Vine; s.arrangement = Arrangement::Pinnate; s.blade = Blade::Obcordate;
        s.leafWidth = 0.45; s.leafSize = 0.75; s.leaflets = 5; s.tendrils = true; s.inflo = Inflo::Axillary;
        s.nodes = 7; s.height = 0.7; s.flowerSize = 0.9; s.fruit = Fruit::BlackPod;
        s.heightText = QStringLiteral("60〜150cm（他の草に寄りかかる）");
        s.flowerText = QStringLiteral("花の長さ 1.2〜1.8cm"); s.fruitText = QStringLiteral("黒く熟したさや");
        s.views = {V::Habit, V::Flower, V::Fruit};
        s.seed = 112;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ドクダミ");
        attributes(s, "0100", "100000", 9, 1, 1, 1);
        s.form = Form::Bracts4; s.petal = White; s.accent = QColor(0xe8, 0xd8, 0x50);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Heart;
        s.leafWidth = 0.8; s.leafSize = 0.6; s.leafColour = QColor(0x3e, 0x6a, 0x30);
        s.stemColour = QColor(0x8a, 0x4a, 0x4a); s.inflo = Inflo::Terminal; s.stems = 4; s.nodes = 4;
        s.height = 0.45; s.flowerSize = 1.1; s.scene = Scene::Shade;
        s.heightText = QStringLiteral("20〜40cm"); s.flowerText = QStringLiteral("白い総苞片4枚と花の穂");
        s.habitatText = QStringLiteral("生育地　家のまわりの日陰");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.memo = {
            QStringLiteral("家のまわりや林の縁の、日陰で湿った所に群生する。"),
            QStringLiteral("白い花びらに見えるのは4枚の総苞片で、本当の花は中心の穂に集まる小さな花。"),
            QStringLiteral("葉や茎をもむと独特のにおいがする。"),
            QStringLiteral("乾かしたものは「十薬」と呼ばれ、民間薬として使われてきた。"),
        };
        s.seed = 113;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ツユクサ");
        attributes(s, "0110", "000100", 8, 1, 1, 1);
        s.form = Form::Dayflower; s.petal = QColor(0x25, 0x55, 0xd8); s.accent = QColor(0xf0, 0xc8, 0x20);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Lanceolate;
        s.leafWidth = 0.32; s.leafSize = 0.6; s.inflo = Inflo::Terminal; s.flowerCount = 2; s.stems = 3;
        s.nodes = 5; s.height = 0.5; s.flowerSize = 1.2; s.scene = Scene::Roadside;
        s.heightText = QStringLiteral("20〜50cm"); s.flowerText = QStringLiteral("花の径 1.5〜2cm");
        s.habitatText = QStringLiteral("生育地　道ばた・畑の縁");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.memo = {
            QStringLiteral("道ばたや畑、林の縁に生える一年草。"),
            QStringLiteral("花は朝開いて昼にはしぼむ。青い2枚の花びらが大きく、下の1枚は白く小さい。"),
            QStringLiteral("二つ折りになった苞の間から花が顔を出す。"),
            QStringLiteral("古い名は「つきくさ」。花の汁で布を染めたことによるという。"),
        };
        s.seed = 114;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヒルガオ");
        attributes(s, "0100", "010000", 1, 2, 1, 1);
        s.form = Form::Funnel; s.petal = QColor(0xf2, 0xb0, 0xc8); s.accent = QColor(0xfc, 0xf4, 0xf4);
        s.habit = Habit::Vine; s.arrangement = Arrangement::Alternate; s.blade = Blade::Arrow;
        s.leafWidth = 0.5; s.leafSize = 0.6; s.inflo = Inflo::Axillary; s.nodes = 7; s.height = 0.78;
        s.flowerSize = 1.25; s.tall = true;
        s.heightText = QStringLiteral("つるは 1〜2m"); s.flowerText = QStringLiteral("花の径 5〜6cm");
        s.views = {V::Habit, V::Flower, V::Leaf};
        s.memo = {
            QStringLiteral("日当たりのよい道ばたや土手、フェンスにからみつく。"),
            QStringLiteral("アサガオと違い、昼になっても花がしぼまないのが名の由来。"),
            QStringLiteral("葉は細長いほこ形。よく似たコヒルガオは花が小さく、葉の基部が横に張り出して2つに裂ける。"),
            QStringLiteral("花柄の上部にちぢれた翼がないのもヒルガオの特徴。"),
        };
        s.seed = 115;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("コヒルガオ");
        attributes(s, "0100", "010000", 1, 2, 1, 1);
        s.form = Form::Funnel; s.petal = QColor(0xf4, 0xbe, 0xd2); s.accent = QColor(0xfc, 0xf6, 0xf6);
        s.habit = Habit::Vine; s.arrangement = Arrangement::Alternate; s.blade = Blade::Arrow;
        s.leafWidth = 0.6; s.leafSize = 0.45; s.inflo = Inflo::Axillary; s.nodes = 8; s.height = 0.7;
        s.flowerSize = 0.9;
        s.heightText = QStringLiteral("つるは 1〜2m"); s.flowerText = QStringLiteral("花の径 3〜4cm");
        s.views = {V::Habit, V::Leaf};
        s.seed = 116;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヤマユリ");
        attributes(s, "0100", "100000", 8, 1, 1, 1);
        s.form = Form::Lily; s.petal = White; s.accent = QColor(0xf0, 0xc0, 0x20);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Lanceolate;
        s.leafWidth = 0.22; s.leafSize = 0.55; s.inflo = Inflo::Terminal; s.flowerCount = 3; s.nodes = 12;
        s.height = 0.8; s.flowerSize = 2.2; s.scene = Scene::ForestEdge; s.tall = true;
        s.heightText = QStringLiteral("1〜1.5m"); s.flowerText = QStringLiteral("花の径 15〜20cm");
        s.habitatText = QStringLiteral("生育地　山の林の縁・斜面");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.seed = 117;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ノアザミ");
        attributes(s, "1100", "010010", 2, 1, 0, 1);
        s.form = Form::Thistle; s.petal = QColor(0xc0, 0x2c, 0x7c); s.accent = QColor(0x5e, 0x7a, 0x3a);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Pinnatifid;
        s.leafWidth = 0.3; s.leafSize = 0.7; s.inflo = Inflo::Branched; s.flowerCount = 3; s.stems = 1;
        s.nodes = 7; s.height = 0.72; s.flowerSize = 1.1;
        s.heightText = QStringLiteral("50〜100cm"); s.flowerText = QStringLiteral("頭花の径 4〜5cm");
        s.views = {V::Habit, V::Flower};
        s.seed = 118;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヨメナ");
        attributes(s, "0110", "000010", 2, 1, 0, 1);
        s.form = Form::Daisy; s.petal = QColor(0xc4, 0xb2, 0xe4); s.accent = QColor(0xf0, 0xc0, 0x18);
        s.petals = 20; s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate;
        s.blade = Blade::Elliptic; s.leafWidth = 0.32; s.leafSize = 0.6; s.inflo = Inflo::Branched;
        s.flowerCount = 5; s.stems = 2; s.nodes = 8; s.height = 0.72; s.flowerSize = 0.9;
        s.heightText = QStringLiteral("50〜120cm"); s.flowerText = QStringLiteral("頭花の径 約2.5cm");
        s.views = {V::Habit, V::Flower, V::Leaf};
        s.memo = {
            QStringLiteral("田のあぜや川の土手など、やや湿った所に生える。"),
            QStringLiteral("いわゆる「野菊」の代表。舌状花は淡い青紫色。"),
            QStringLiteral("葉はあらいきょ歯がある。よく似たノコンギクは葉がざらつき、冠毛が長い。"),
            QStringLiteral("春の若芽は「嫁菜飯」にして食べられる。"),
        };
        s.seed = 119;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヒメジョオン");
        attributes(s, "0110", "100000", 2, 1, 0, 1);
        s.form = Form::Daisy; s.petal = White; s.accent = QColor(0xf2, 0xc8, 0x1c); s.petals = 60;
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Lanceolate;
        s.leafWidth = 0.25; s.leafSize = 0.55; s.inflo = Inflo::Branched; s.flowerCount = 8; s.stems = 1;
        s.nodes = 9; s.height = 0.78; s.flowerSize = 0.85; s.tall = true;
        s.heightText = QStringLiteral("30〜100cm"); s.flowerText = QStringLiteral("頭花の径 約2cm");
        s.views = {V::Habit, V::Flower};
        s.seed = 120;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヒガンバナ");
        attributes(s, "0010", "010000", 8, 3, 1, 8);
        s.form = Form::SpiderLily; s.petal = QColor(0xd8, 0x1c, 0x1c); s.accent = QColor(0xb0, 0x10, 0x10);
        s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Linear;
        s.leafWidth = 0.05; s.leafSize = 0.8; s.leafColour = QColor(0x3a, 0x5a, 0x36);
        s.inflo = Inflo::Umbel; s.flowerCount = 6; s.stems = 3; s.height = 0.62; s.flowerSize = 1.0;
        s.leaflessInFlower = true; s.scene = Scene::PaddyEdge;
        s.heightText = QStringLiteral("30〜50cm（花の時は葉がない）");
        s.flowerText = QStringLiteral("花の集まりの径 10〜15cm");
        s.habitatText = QStringLiteral("生育地　田のあぜ・土手");
        s.views = {V::Habit, V::Flower, V::Leaf, V::Habitat};
        s.memo = {
            QStringLiteral("田のあぜや土手、墓地の周りなどに多い。"),
            QStringLiteral("秋の彼岸のころ、葉のない茎の先に赤い花を輪のように咲かせる。"),
            QStringLiteral("花が終わってから細長い葉を出し、冬を越して春に枯れる。"),
            QStringLiteral("日本のものは種子ができず、球根で増える。球根には毒がある。"),
            QStringLiteral("別名マンジュシャゲ。"),
        };
        s.seed = 121;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ススキ");
        attributes(s, "0110", "000001", 4, 1, 0, 8);
        s.form = Form::Plume; s.petal = QColor(0xcc, 0xbc, 0xa8); s.accent = QColor(0x9a, 0x6a, 0x88);
        s.habit = Habit::Grass; s.arrangement = Arrangement::Basal; s.blade = Blade::Linear;
        s.leafWidth = 0.03; s.leafColour = QColor(0x6a, 0x8a, 0x46); s.inflo = Inflo::Panicle;
        s.flowerCount = 6; s.stems = 18; s.height = 0.85; s.flowerSize = 1.0; s.scene = Scene::Hillside;
        s.tall = true;
        s.heightText = QStringLiteral("1〜2m"); s.flowerText = QStringLiteral("穂の長さ 20〜30cm");
        s.habitatText = QStringLiteral("生育地　日当たりのよい山野・土手");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.memo = {
            QStringLiteral("日当たりのよい山野や土手に大きな株をつくる。秋の七草の「尾花」。"),
            QStringLiteral("葉の縁には細かいきょ歯があってざらつき、手を切ることがある。"),
            QStringLiteral("穂は初め赤紫色をおび、熟すと白い毛が目立つ。"),
            QStringLiteral("かつては屋根をふく茅として刈り取られた。"),
        };
        s.seed = 122;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("エノコログサ");
        attributes(s, "0110", "000001", 4, 1, 1, 8);
        s.form = Form::Foxtail; s.petal = QColor(0x9a, 0xb4, 0x58); s.accent = QColor(0x7a, 0x94, 0x40);
        s.habit = Habit::Grass; s.arrangement = Arrangement::Basal; s.blade = Blade::Linear;
        s.leafWidth = 0.06; s.leafColour = QColor(0x5e, 0x8e, 0x3a); s.inflo = Inflo::Spike;
        s.flowerCount = 5; s.stems = 9; s.height = 0.6; s.flowerSize = 1.0; s.fruit = Fruit::Grain;
        s.heightText = QStringLiteral("30〜80cm"); s.fruitText = QStringLiteral("穂と小穂（実）");
        s.views = {V::Habit, V::Fruit};
        s.seed = 123;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("オオバコ");
        attributes(s, "1110", "000001", 0, 3, 1, 7);
        s.form = Form::PlantainSpike; s.petal = QColor(0xe8, 0xe8, 0xd8); s.accent = QColor(0x8a, 0x8e, 0x5a);
        s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Ovate;
        s.leafWidth = 0.6; s.leafSize = 0.7; s.inflo = Inflo::Spike; s.flowerCount = 4; s.height = 0.45;
        s.flowerSize = 1.0; s.scene = Scene::Roadside;
        s.heightText = QStringLiteral("花茎 10〜20cm"); s.flowerText = QStringLiteral("花の穂（小さな花が密につく）");
        s.habitatText = QStringLiteral("生育地　よく踏まれる道");
        s.views = {V::Habit, V::Flower, V::Leaf, V::Habitat};
        s.memo = {
            QStringLiteral("道ばたや公園など、よく踏まれる所に多い。踏まれても丈夫な葉と花茎をもつ。"),
            QStringLiteral("葉は根元から出て、太い平行脈が目立つ。"),
            QStringLiteral("種子は水にぬれるとねばり、靴や車のタイヤについて運ばれる。"),
            QStringLiteral("種子は「車前子」という生薬になる。"),
        };
        s.seed = 124;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヤブカラシ");
        attributes(s, "0100", "000001", 9, 2, 0, 6);
        s.form = Form::TinyGreen; s.petal = QColor(0x8a, 0xaa, 0x48); s.accent = QColor(0xf0, 0x88, 0x20);
        s.habit = Habit::Vine; s.arrangement = Arrangement::Pedate; s.blade = Blade::Ovate;
        s.leafWidth = 0.45; s.leafSize = 0.8; s.tendrils = true; s.inflo = Inflo::Corymb; s.flowerCount = 3;
        s.nodes = 6; s.height = 0.78; s.flowerSize = 1.0; s.fruit = Fruit::BlackBerry;
        s.stemColour = QColor(0x6a, 0x5a, 0x3a);
        s.heightText = QStringLiteral("つるは 2〜3m"); s.flowerText = QStringLiteral("花の径 約5mm");
        s.fruitText = QStringLiteral("黒く熟した実（実らないことも多い）");
        s.views = {V::Habit, V::Flower, V::Fruit};
        s.seed = 125;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("クズ");
        attributes(s, "0110", "010010", 5, 2, 1, 5);
        s.form = Form::Pea; s.petal = QColor(0xa8, 0x3c, 0x8c); s.accent = QColor(0xf0, 0xd0, 0x30);
        s.habit = Habit::Vine; s.arrangement = Arrangement::Trifoliate; s.blade = Blade::Ovate;
        s.leafWidth = 0.85; s.leafSize = 0.9; s.inflo = Inflo::Raceme; s.flowerCount = 2; s.nodes = 5;
        s.height = 0.8; s.flowerSize = 0.8; s.fruit = Fruit::HairyPod; s.tall = true;
        s.heightText = QStringLiteral("つるは10m以上"); s.flowerText = QStringLiteral("花の穂 10〜20cm");
        s.fruitText = QStringLiteral("褐色の毛におおわれたさや");
        s.views = {V::Habit, V::Flower, V::Leaf, V::Fruit};
        s.memo = {
            QStringLiteral("林の縁や土手、空き地をおおうように茂る大形のつる草。秋の七草の一つ。"),
            QStringLiteral("葉は大きな3小葉で、裏は白っぽい。"),
            QStringLiteral("紫紅色の花が下から咲き上がり、甘い香りがする。"),
            QStringLiteral("太い根からとるでんぷんが葛粉で、根を干したものは葛根という生薬になる。"),
        };
        s.seed = 126;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ゲンノショウコ");
        attributes(s, "0110", "110000", 10, 1, 0, 2);
        s.form = Form::Round5; s.petal = QColor(0xf8, 0xf2, 0xf2); s.accent = QColor(0xb8, 0x50, 0x80);
        s.petalAlt = QColor(0xe6, 0x88, 0xb2);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Palmatifid;
        s.leafWidth = 1.0; s.leafSize = 0.45; s.inflo = Inflo::Axillary; s.stems = 3; s.nodes = 5;
        s.height = 0.45; s.flowerSize = 0.8; s.fruit = Fruit::Crane;
        s.heightText = QStringLiteral("30〜50cm"); s.flowerText = QStringLiteral("花の径 1〜1.5cm（白と紅紫）");
        s.fruitText = QStringLiteral("はじけた後の実（みこしの屋根形）");
        s.views = {V::Habit, V::Flower, V::Fruit};
        s.memo = {
            QStringLiteral("山野の道ばたや草地に生える。"),
            QStringLiteral("花は東日本では白、西日本では紅紫色のものが多い。"),
            QStringLiteral("飲むとすぐに効くことから「現の証拠」の名がある。下痢止めの民間薬。"),
            QStringLiteral("実がはじけた後の形がみこしの屋根に似ていて、「ミコシグサ」とも呼ばれる。"),
            QStringLiteral("若い葉は有毒なトリカブトの仲間と似ているので注意する。"),
        };
        s.seed = 127;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("キキョウ");
        attributes(s, "0110", "000110", 10, 1, 0, 1);
        s.form = Form::OpenBell; s.petal = QColor(0x5e, 0x52, 0xc8); s.accent = QColor(0x3a, 0x30, 0x90);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Ovate;
        s.leafWidth = 0.38; s.leafSize = 0.5; s.inflo = Inflo::Terminal; s.flowerCount = 3; s.stems = 2;
        s.nodes = 10; s.height = 0.78; s.flowerSize = 1.1; s.fruit = Fruit::Balloon; s.tall = true;
        s.heightText = QStringLiteral("50〜100cm"); s.flowerText = QStringLiteral("花の径 4〜5cm");
        s.fruitText = QStringLiteral("紙風船のようなつぼみ");
        s.views = {V::Habit, V::Flower, V::Leaf, V::Fruit};
        s.memo = {
            QStringLiteral("日当たりのよい山野の草地に生えるが、野生のものは少なくなった。秋の七草の一つ。"),
            QStringLiteral("つぼみは紙風船のようにふくらみ、先が5つに裂けて開く。"),
            QStringLiteral("根はせきやたんの薬になる。"),
        };
        s.seed = 128;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("オミナエシ");
        attributes(s, "0110", "001000", 10, 1, 0, 2);
        s.form = Form::FlatCorymb; s.petal = QColor(0xee, 0xc8, 0x14); s.accent = QColor(0xc8, 0xa0, 0x10);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Pinnatifid;
        s.leafWidth = 0.45; s.leafSize = 0.55; s.inflo = Inflo::Corymb; s.flowerCount = 5; s.stems = 1;
        s.nodes = 6; s.height = 0.82; s.flowerSize = 1.0; s.tall = true;
        s.heightText = QStringLiteral("60〜100cm"); s.flowerText = QStringLiteral("花の径 3〜4mm（平らに集まる）");
        s.views = {V::Habit, V::Flower};
        s.seed = 129;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("リンドウ");
        attributes(s, "0010", "000110", 7, 1, 1, 2);
        s.form = Form::UprightTube; s.petal = QColor(0x45, 0x48, 0xb8); s.accent = QColor(0x2a, 0x8a, 0x6a);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Lanceolate;
        s.leafWidth = 0.3; s.leafSize = 0.5; s.inflo = Inflo::Terminal; s.flowerCount = 3; s.stems = 2;
        s.nodes = 7; s.height = 0.6; s.flowerSize = 1.0; s.scene = Scene::Hillside;
        s.heightText = QStringLiteral("20〜80cm"); s.flowerText = QStringLiteral("花の長さ 4〜5cm");
        s.habitatText = QStringLiteral("生育地　山野の草地");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.seed = 130;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ツリガネニンジン");
        attributes(s, "0110", "000010", 7, 1, 0, 3);
        s.form = Form::HangingBell; s.petal = QColor(0xa8, 0x98, 0xdc); s.accent = QColor(0xf4, 0xf0, 0xf8);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Whorled; s.blade = Blade::Elliptic;
        s.leafWidth = 0.35; s.leafSize = 0.5; s.inflo = Inflo::Bells; s.flowerCount = 4; s.stems = 1;
        s.nodes = 5; s.height = 0.8; s.flowerSize = 0.95; s.tall = true;
        s.heightText = QStringLiteral("40〜100cm"); s.flowerText = QStringLiteral("花の長さ 1.5〜2cm");
        s.views = {V::Habit, V::Flower, V::Leaf};
        s.seed = 131;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("カワラナデシコ");
        attributes(s, "0110", "010000", 10, 1, 1, 2);
        s.form = Form::Fringed5; s.petal = QColor(0xf2, 0x8c, 0xb8); s.accent = QColor(0xc0, 0x40, 0x78);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Linear;
        s.leafWidth = 0.09; s.leafSize = 0.5; s.leafColour = QColor(0x6a, 0x8e, 0x6a);
        s.stemColour = QColor(0x6a, 0x8a, 0x66); s.inflo = Inflo::Branched; s.flowerCount = 3; s.stems = 2;
        s.nodes = 6; s.height = 0.65; s.flowerSize = 1.2;
        s.heightText = QStringLiteral("30〜80cm"); s.flowerText = QStringLiteral("花の径 4〜5cm");
        s.views = {V::Habit, V::Flower};
        s.seed = 132;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("フキ");
        attributes(s, "1000", "100000", 2, 3, 0, 7);
        s.form = Form::Butterbur; s.petal = QColor(0xf2, 0xf0, 0xdc); s.accent = QColor(0xb8, 0xd0, 0x80);
        s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Kidney;
        s.leafWidth = 1.0; s.leafSize = 0.9; s.inflo = Inflo::Terminal; s.flowerCount = 2; s.height = 0.5;
        s.flowerSize = 1.0;
        s.heightText = QStringLiteral("葉柄 30〜60cm"); s.flowerText = QStringLiteral("フキノトウ（花の集まり）");
        s.views = {V::Habit, V::Flower, V::Leaf};
        s.memo = {
            QStringLiteral("山野のやや湿った所や川岸に生え、地下茎で広がる。"),
            QStringLiteral("早春、葉より先に花茎が出る。これがフキノトウ。"),
            QStringLiteral("雄株の花は黄色っぽく、雌株の花は白っぽい。"),
            QStringLiteral("葉柄を煮物やつくだ煮にする。"),
        };
        s.seed = 133;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ツワブキ");
        attributes(s, "0011", "001000", 2, 3, 1, 7);
        s.form = Form::Daisy; s.petal = QColor(0xf4, 0xc0, 0x0c); s.accent = QColor(0xe0, 0xa0, 0x08);
        s.petals = 12; s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Kidney;
        s.leafWidth = 1.0; s.leafSize = 0.75; s.leafColour = QColor(0x2e, 0x6a, 0x2a); s.inflo = Inflo::Corymb;
        s.flowerCount = 5; s.height = 0.62; s.flowerSize = 1.0; s.scene = Scene::Coast;
        s.heightText = QStringLiteral("花茎 30〜70cm"); s.flowerText = QStringLiteral("頭花の径 約5cm");
        s.habitatText = QStringLiteral("生育地　海岸の岩場・崖");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.seed = 134;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("スイセン");
        attributes(s, "1001", "101000", 8, 3, 1, 8);
        s.form = Form::Narcissus; s.petal = White; s.accent = QColor(0xf4, 0xc4, 0x1a);
        s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Linear;
        s.leafWidth = 0.05; s.leafSize = 0.75; s.leafColour = QColor(0x5a, 0x80, 0x6a); s.inflo = Inflo::Umbel;
        s.flowerCount = 4; s.stems = 2; s.height = 0.55; s.flowerSize = 1.0; s.scene = Scene::Coast;
        s.heightText = QStringLiteral("20〜40cm"); s.flowerText = QStringLiteral("花の径 約3cm");
        s.habitatText = QStringLiteral("生育地　海に近い斜面");
        s.views = {V::Habit, V::Flower, V::Habitat};
        s.memo = {
            QStringLiteral("地中海沿岸の原産で、古くに中国を経て伝わったとされる。"),
            QStringLiteral("海に近い斜面などに野生化した群落があり、ニホンズイセンと呼ばれる。"),
            QStringLiteral("冬から早春に、白い花びらと黄色い副花冠の花を横向きに咲かせ、よい香りがする。"),
            QStringLiteral("葉はニラに似るが全体に毒があるので、誤って食べないように注意する。"),
        };
        s.seed = 135;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("セリ");
        attributes(s, "0100", "100000", 10, 1, 0, 6);
        s.form = Form::Umbel; s.petal = White; s.accent = QColor(0xd8, 0xe0, 0xb0);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Pinnate; s.blade = Blade::Ovate;
        s.leafWidth = 0.6; s.leafSize = 0.6; s.leaflets = 2; s.inflo = Inflo::Umbel; s.flowerCount = 2;
        s.stems = 2; s.nodes = 5; s.height = 0.55; s.flowerSize = 0.9;
        s.heightText = QStringLiteral("20〜80cm"); s.flowerText = QStringLiteral("花の径 約2mm（傘のように集まる）");
        s.views = {V::Habit, V::Flower, V::Leaf};
        s.memo = {
            QStringLiteral("田や水辺、湿地に生える。春の七草の一つ。"),
            QStringLiteral("若い茎葉は香りがよく、おひたしや鍋物にする。"),
            QStringLiteral("猛毒のドクゼリとまちがえないこと。ドクゼリは大形で、太い地下茎に節がある。"),
            QStringLiteral("夏、小さな白い花が傘のように集まって咲く。"),
        };
        s.seed = 136;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ミゾソバ");
        attributes(s, "0110", "110000", 10, 1, 1, 1);
        s.form = Form::Knotweed; s.petal = QColor(0xfa, 0xf4, 0xf2); s.accent = QColor(0xe0, 0x5a, 0x8c);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Halberd;
        s.leafWidth = 0.6; s.leafSize = 0.5; s.inflo = Inflo::Branched; s.flowerCount = 4; s.stems = 3;
        s.nodes = 5; s.height = 0.5; s.flowerSize = 0.9; s.stemColour = QColor(0x8a, 0x5a, 0x4a);
        s.heightText = QStringLiteral("30〜80cm"); s.flowerText = QStringLiteral("花の集まりの径 約1cm");
        s.views = {V::Habit, V::Flower, V::Leaf};
        s.memo = {
            QStringLiteral("水田のそばや小川の縁、溝に群生する。"),
            QStringLiteral("葉は牛の顔に似た形で、「ウシノヒタイ」とも呼ばれる。"),
            QStringLiteral("茎には下向きの小さなとげがある。"),
            QStringLiteral("花は枝先に10個ほど集まって咲き、先の方が紅色、下の方は白い。"),
        };
        s.seed = 137;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ネジバナ");
        attributes(s, "1100", "010000", 6, 3, 1, 8);
        s.form = Form::SpiralSpike; s.petal = QColor(0xe4, 0x6e, 0xa0); s.accent = QColor(0xfa, 0xf0, 0xf4);
        s.habit = Habit::Rosette; s.arrangement = Arrangement::Basal; s.blade = Blade::Lanceolate;
        s.leafWidth = 0.18; s.leafSize = 0.4; s.inflo = Inflo::Spike; s.flowerCount = 3; s.height = 0.6;
        s.flowerSize = 1.0; s.tall = true;
        s.heightText = QStringLiteral("10〜40cm"); s.flowerText = QStringLiteral("花の長さ 約5mm（らせん状に並ぶ）");
        s.views = {V::Habit, V::Flower};
        s.seed = 138;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ツメクサ");
        attributes(s, "1100", "100000", 3, 1, 1, 8);
        s.form = Form::Star5; s.petal = White; s.accent = QColor(0xd8, 0xe0, 0x90);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Opposite; s.blade = Blade::Linear;
        s.leafWidth = 0.08; s.leafSize = 0.3; s.inflo = Inflo::Terminal; s.flowerCount = 2; s.stems = 7;
        s.nodes = 5; s.height = 0.28; s.flowerSize = 0.9;
        s.heightText = QStringLiteral("2〜20cm");
        s.views = {V::Habit};
        s.seed = 139;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヤエムグラ");
        attributes(s, "1000", "000001", 9, 1, 1, 3);
        s.form = Form::Bedstraw; s.petal = QColor(0xc8, 0xcc, 0x70); s.accent = QColor(0x9a, 0xa0, 0x40);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Whorled; s.blade = Blade::Lanceolate;
        s.leafWidth = 0.16; s.leafSize = 0.3; s.inflo = Inflo::Axillary; s.stems = 4; s.nodes = 8;
        s.height = 0.6; s.flowerSize = 0.6; s.fruit = Fruit::Burr;
        s.heightText = QStringLiteral("60〜90cm（他の草に寄りかかる）");
        s.fruitText = QStringLiteral("かぎ状の毛のある実（2個ずつつく）");
        s.views = {V::Habit, V::Fruit};
        s.seed = 140;
        list.push_back(s);
    }
    return list;
}

std::vector<Species> extraSpecies()
{
    std::vector<Species> list;
    {
        Species s;
        s.name = QStringLiteral("ホタルブクロ");
        s.form = Form::HangingBell; s.petal = QColor(0xf0, 0xdc, 0xe6); s.accent = QColor(0x9a, 0x3a, 0x6a);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Ovate;
        s.toothed = true; s.leafWidth = 0.4; s.leafSize = 0.55; s.inflo = Inflo::Bells; s.flowerCount = 4;
        s.nodes = 7; s.height = 0.8; s.flowerSize = 1.6; s.tall = true; s.seed = 201;
        s.inCatalogue = false;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ツリフネソウ");
        s.form = Form::Balsam; s.petal = QColor(0xc8, 0x3a, 0x8a); s.accent = QColor(0xf0, 0xd0, 0x40);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Ovate;
        s.toothed = true; s.leafWidth = 0.45; s.leafSize = 0.6; s.inflo = Inflo::Raceme; s.flowerCount = 5;
        s.stems = 2; s.nodes = 6; s.height = 0.72; s.flowerSize = 1.2; s.seed = 202;
        s.stemColour = QColor(0x9a, 0x5a, 0x5a); s.inCatalogue = false;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ミズヒキ");
        s.form = Form::Jumprope; s.petal = QColor(0xd0, 0x1a, 0x2a); s.accent = QColor(0xfa, 0xf4, 0xf0);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Elliptic;
        s.leafWidth = 0.5; s.leafSize = 0.6; s.inflo = Inflo::Spike; s.flowerCount = 3; s.stems = 2;
        s.nodes = 6; s.height = 0.78; s.flowerSize = 1.0; s.seed = 203; s.inCatalogue = false;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("ヤマブキ");
        s.form = Form::Round5; s.petal = QColor(0xf6, 0xb8, 0x0c); s.accent = QColor(0xe0, 0x90, 0x00);
        s.habit = Habit::Upright; s.arrangement = Arrangement::Alternate; s.blade = Blade::Ovate;
        s.toothed = true; s.leafWidth = 0.45; s.leafSize = 0.45; s.inflo = Inflo::Axillary; s.stems = 3;
        s.nodes = 8; s.height = 0.8; s.flowerSize = 0.75; s.seed = 204;
        s.stemColour = QColor(0x4a, 0x8a, 0x3a); s.inCatalogue = false;
        list.push_back(s);
    }
    {
        Species s;
        s.name = QStringLiteral("アケビ");
        s.form = Form::Akebi; s.petal = QColor(0x8a, 0x4a, 0x7a); s.accent = QColor(0x5a, 0x1a, 0x4a);
        s.habit = Habit::Vine; s.arrangement = Arrangement::Pedate; s.blade = Blade::Elliptic;
        s.leafWidth = 0.45; s.leafSize = 0.8; s.inflo = Inflo::Axillary; s.nodes = 6; s.height = 0.8;
        s.flowerSize = 1.2; s.seed = 205; s.stemColour = QColor(0x7a, 0x6a, 0x4a); s.inCatalogue = false;
        list.push_back(s);
    }
    return list;
}
