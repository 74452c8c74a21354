#pragma once
// The plants of the sample catalogue: their field-guide attributes (what
// goes into the data file), how each is drawn, and its field notes.
#include <QColor>
#include <QString>
#include <QStringList>

#include <vector>

// How a single flower (or flower head, or grass spike) is drawn.
enum class Form {
    Chickweed,    // 5 deeply split white petals, looks like 10
    Star5,        // 5 small separate petals, plain (pearlwort)
    Cross4,       // 4 petals in a cross (mustard family)
    Speedwell,    // 4 unequal lobes with dark veins
    Dandelion,    // head of strap-shaped florets only
    Daisy,        // ray florets round a yellow disc
    Thistle,      // brush of thin tubes on a globe of bracts
    Butterbur,    // cluster of small whitish heads inside pale bracts
    OpenBell,     // broad 5-lobed star bell facing out (balloon flower)
    HangingBell,  // bell hanging down
    UprightTube,  // club-shaped upright tube with 5 short lobes (gentian)
    Funnel,       // morning-glory funnel
    Pea,          // papilionaceous flower in a raceme
    CloverHead,   // ball of small pea flowers
    Lipped,       // two-lipped tube (dead-nettle)
    SpiralSpike,  // tiny flowers in a twisting spike (orchid)
    Lily,         // 6 large recurved tepals with long stamens
    SpiderLily,   // umbel of narrow wavy red tepals and long stamens
    Narcissus,    // 6 tepals and a cup
    Dayflower,    // 2 blue petals, 1 small white one, boat-shaped bract
    Bracts4,      // 4 white bracts round an upright spike
    Round5,       // 5 rounded petals
    Fringed5,     // 5 fringed petals (pink)
    Violet,       // 5 unequal petals with a spur
    Umbel,        // compound umbel of tiny white flowers
    FlatCorymb,   // flat-topped cluster of tiny flowers
    Knotweed,     // little globes of pink-tipped flowers
    Plume,        // silky panicle (silver grass)
    Foxtail,      // nodding bristly spike
    PlantainSpike,// slender spike with white stamens
    TinyGreen,    // tiny 4-petalled greenish flowers with orange discs
    Bedstraw,     // tiny 4-lobed greenish-yellow flowers
    Balsam,       // hanging sac with a curled spur (touch-me-not)
    Jumprope,     // long wiry spike of tiny red flowers
    Akebi         // 3 cupped purple sepals
};

// How the plant as a whole stands.
enum class Habit { Upright, Vine, Rosette, Creeping, Grass };

// The outline of one leaf blade (or leaflet).
enum class Blade {
    Lanceolate, Ovate, Elliptic, Linear, Heart, Arrow, Kidney, Round,
    Runcinate, Pinnatifid, Palmatifid, Halberd, Obcordate, Triangular
};

// How the leaves sit on the stem.
enum class Arrangement { Alternate, Opposite, Whorled, Trifoliate, Pinnate, Pedate, Basal };

// How the flowers sit on the plant.
enum class Inflo {
    Terminal,   // one to a few flowers at the top of each stem
    Branched,   // heads at the ends of branches near the top
    Raceme,     // along the top part of the stem
    AxilWhorl,  // in rings at the upper leaf nodes
    Axillary,   // singly on stalks from the leaf axils
    Umbel,      // many stalks from one point
    Spike,      // a dense cylinder at the top
    Panicle,    // a loose plume
    Corymb,     // flat-topped cluster
    Bells       // bells hanging along the upper stem
};

// What the fourth kind of picture (fruit or seed) shows.
enum class Fruit {
    None, Capsule, Puff, Silicle, HeartCapsule, Valves3, Cylinder, Strawberry,
    BlackPod, HairyPod, Crane, BlackBerry, Balloon, Grain, Burr
};

// Backgrounds for the habitat pictures.
enum class Scene { Roadside, PaddyEdge, Meadow, ForestEdge, Waterside, Coast, Hillside, Shade };

enum class View { Habit, Flower, Leaf, Fruit, Habitat };

struct Species {
    QString name;
    // Attributes as in the data file.
    int seasons[4] = {0, 0, 0, 0};
    int colours[6] = {0, 0, 0, 0, 0, 0};
    int flowerShape = -1;
    int stemHabit = -1;
    int leafMargin = -1;
    int leafShape = -1;

    // Drawing.
    Form form = Form::Round5;
    QColor petal;         // main flower colour
    QColor accent;        // second colour (centre, veins, cup, disc...)
    QColor petalAlt;      // colour of a second form (e.g. pink plants of a white species); invalid if none
    int petals = 5;
    Habit habit = Habit::Upright;
    Arrangement arrangement = Arrangement::Alternate;
    Blade blade = Blade::Lanceolate;
    bool toothed = false;
    QColor leafColour = QColor(0x5a, 0x8f, 0x3a);
    QColor stemColour = QColor(0x5f, 0x8a, 0x3c);
    Inflo inflo = Inflo::Terminal;
    int flowerCount = 1;      // flowers (or heads, spikes) per stem
    int stems = 1;            // stems in a clump
    int nodes = 6;            // leaf nodes on a stem
    double height = 0.7;      // plant height as a part of the picture height
    double flowerSize = 1.0;  // flower size relative to the usual
    double leafSize = 1.0;    // leaf size relative to the usual
    double leafWidth = 0.35;  // blade width relative to its length
    int leaflets = 5;         // for pinnate leaves: leaflets on each side
    bool tendrils = false;
    bool leaflessInFlower = false;  // flowers before its leaves come up
    Fruit fruit = Fruit::None;
    Scene scene = Scene::Meadow;
    bool tall = false;        // habit picture in portrait format

    // Caption texts.
    QString heightText;       // e.g. "10〜30cm"
    QString flowerText;       // e.g. "花の径 6〜7mm"
    QString fruitText;        // caption of the fruit picture
    QString habitatText;      // caption of the habitat picture

    std::vector<View> views;  // pictures 1, 2, ... in order
    QStringList memo;         // field notes, empty when the species has none
    quint32 seed = 1;
    bool inCatalogue = true;
};

// The species of the sample catalogue, in no particular order.
std::vector<Species> catalogueSpecies();

// Plants that are not in the catalogue, drawn as large pictures for trying
// out registration.
std::vector<Species> extraSpecies();
