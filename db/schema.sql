-- Schema of a new workstation database (SQLite).
--
-- Type rules: a counter key is INTEGER PRIMARY KEY AUTOINCREMENT, so ids are
-- never reused; logical columns are INTEGER NOT NULL DEFAULT 0 holding 0/1
-- (read as "non-zero is true"); every text, fixed-width or long, is TEXT and
-- its width is kept by the code; dates are ISO text. Tables without a key are
-- edited by rowid.
--
-- Defaults: where the program appends a row with only a few columns and
-- relies on "the table's defaults", the defaults below are the initial values
-- of the editing controls. Other integers default to 0 and other texts to the
-- empty text, so that code reading "blank" never meets NULL. The object state
-- starts as 'пусто': a NULL state would drop the object from the object list,
-- whose filter is NOT st_net LIKE 'восст%'.
--
-- Every statement ends with ';' at the end of a line.

-- Object (one network).
CREATE TABLE k_net (
    id_net INTEGER PRIMARY KEY AUTOINCREMENT,
    ident TEXT DEFAULT '',                 -- object name, 50 characters
    id_nom INTEGER DEFAULT 0,              -- object number written into device files
    d_beg TEXT,                            -- ISO date
    d_net TEXT,                            -- ISO date
    v_pod INTEGER DEFAULT 0,               -- entrances (switch columns of the matrix)
    v_kal INTEGER DEFAULT 0,               -- gates
    adres TEXT DEFAULT '',                 -- address, 160 characters
    l_pok INTEGER NOT NULL DEFAULT 0,      -- the object has a security-post console
    l_obv INTEGER NOT NULL DEFAULT 0,
    l_otz INTEGER NOT NULL DEFAULT 0,
    l_pnp INTEGER NOT NULL DEFAULT 0,
    st_net TEXT DEFAULT 'пусто',           -- object state, 20 characters
    farc INTEGER NOT NULL DEFAULT 0,
    incr INTEGER DEFAULT 0,                -- hotel numbering increment 0/1 (byte)
    v_key INTEGER DEFAULT 4,               -- default key quota per apartment (byte)
    p_kvr TEXT DEFAULT '',                 -- common security-post call code, 5 characters
    p_dop INTEGER DEFAULT 0,
    v_dom INTEGER DEFAULT 1,               -- houses
    flbv TEXT DEFAULT '',                  -- call-panel flag mask, 32 characters '0'/'1'
    flpo TEXT DEFAULT ''                   -- console flag mask, 32 characters '0'/'1'
);

-- House.
CREATE TABLE k_dom (
    id_dom INTEGER PRIMARY KEY AUTOINCREMENT,
    id_net INTEGER DEFAULT 0,
    house TEXT DEFAULT '',                 -- house name, 160 characters
    kod_d TEXT DEFAULT '',                 -- house call prefix, 5 characters
    v_pod INTEGER DEFAULT 0,               -- entrances (smallint)
    st_dom TEXT DEFAULT '',                -- 20 characters
    v_kvr INTEGER DEFAULT 0,
    p_dop INTEGER DEFAULT 0,
    kvv_t INTEGER DEFAULT 0                -- repeated call codes of the house
);

-- Entrance.
CREATE TABLE k_pod (
    id_pod INTEGER PRIMARY KEY AUTOINCREMENT,
    id_net INTEGER DEFAULT 0,
    id_dom INTEGER DEFAULT 0,
    n_pod INTEGER DEFAULT 0,               -- entrance number in the house (smallint)
    v_dvr INTEGER DEFAULT 0,               -- entrance call panels (smallint)
    v_kvr INTEGER DEFAULT 0,               -- apartments, handsets not counted (smallint)
    n1kvr INTEGER DEFAULT 0,               -- first apartment (smallint)
    npkvr INTEGER DEFAULT 0,               -- last apartment (smallint)
    type_n INTEGER NOT NULL DEFAULT 0,     -- hotel numbering
    d_key INTEGER DEFAULT 0,               -- entrance key slots
    o_key INTEGER DEFAULT 0,               -- common-key quota
    o_rky INTEGER DEFAULT 0,               -- common keys registered
    p_dop INTEGER DEFAULT 0,
    nm_pod TEXT DEFAULT '',                -- entrance name, 30 characters
    kvv_t INTEGER DEFAULT 0
);

-- Apartment or handset. mtdy = mtnt = -1 means "follow the console's
-- times", the natural state of a row nobody has set times for.
CREATE TABLE k_kvr (
    id_kvr INTEGER PRIMARY KEY AUTOINCREMENT,
    id_net INTEGER DEFAULT 0,
    id_pod INTEGER DEFAULT 0,
    p_nom INTEGER DEFAULT 0,               -- order 1..n within the entrance
    n_kvr TEXT DEFAULT '',                 -- apartment number, 12 characters
    p_kvr TEXT DEFAULT '',                 -- call code, 8 characters
    call INTEGER NOT NULL DEFAULT 0,
    m_obr INTEGER NOT NULL DEFAULT 0,
    p_pk INTEGER DEFAULT 0,                -- switch terminal
    l_otz INTEGER NOT NULL DEFAULT 0,
    l_del INTEGER NOT NULL DEFAULT 0,
    v_key INTEGER DEFAULT 0,               -- old key quota (byte)
    r_key INTEGER DEFAULT 0,               -- old key count (byte)
    mtdy INTEGER DEFAULT -1,
    mtnt INTEGER DEFAULT -1,
    l_pnp INTEGER NOT NULL DEFAULT 0,
    st_kvr TEXT DEFAULT '',                -- row origin, 20 characters
    l_trub INTEGER NOT NULL DEFAULT 0,     -- a handset, not an apartment
    f_m03 INTEGER NOT NULL DEFAULT 0,
    f_m04 INTEGER NOT NULL DEFAULT 0,
    f_m05 INTEGER NOT NULL DEFAULT 0,
    f_m06 INTEGER NOT NULL DEFAULT 0,
    f_m07 INTEGER NOT NULL DEFAULT 0,
    f_m08 INTEGER NOT NULL DEFAULT 0,
    f_m09 INTEGER NOT NULL DEFAULT 0,
    f_m10 INTEGER NOT NULL DEFAULT 0,
    f_m11 INTEGER NOT NULL DEFAULT 0,
    f_m12 INTEGER NOT NULL DEFAULT 0,
    f_m13 INTEGER NOT NULL DEFAULT 0,
    f_m14 INTEGER NOT NULL DEFAULT 0,
    f_m15 INTEGER NOT NULL DEFAULT 0,
    f_m16 INTEGER NOT NULL DEFAULT 0,
    f_p02 INTEGER NOT NULL DEFAULT 0,
    f_p03 INTEGER NOT NULL DEFAULT 0,
    f_p04 INTEGER NOT NULL DEFAULT 0,
    f_p05 INTEGER NOT NULL DEFAULT 0,
    f_p06 INTEGER NOT NULL DEFAULT 0,
    f_p07 INTEGER NOT NULL DEFAULT 0,
    f_p08 INTEGER NOT NULL DEFAULT 0,
    f_p09 INTEGER NOT NULL DEFAULT 0,
    f_p10 INTEGER NOT NULL DEFAULT 0,
    f_p11 INTEGER NOT NULL DEFAULT 0,
    f_p12 INTEGER NOT NULL DEFAULT 0,
    f_p13 INTEGER NOT NULL DEFAULT 0,
    f_p14 INTEGER NOT NULL DEFAULT 0,
    f_p15 INTEGER NOT NULL DEFAULT 0,
    f_p16 INTEGER NOT NULL DEFAULT 0,
    f_k03 INTEGER NOT NULL DEFAULT 0,
    f_k04 INTEGER NOT NULL DEFAULT 0,
    f_k05 INTEGER NOT NULL DEFAULT 0,
    f_k06 INTEGER NOT NULL DEFAULT 0,
    f_k07 INTEGER NOT NULL DEFAULT 0,
    f_k08 INTEGER NOT NULL DEFAULT 0,
    f_k09 INTEGER NOT NULL DEFAULT 0,
    l_vid INTEGER NOT NULL DEFAULT 1,      -- video view
    m_blk INTEGER NOT NULL DEFAULT 1,      -- blocked
    p_dop INTEGER DEFAULT 0,
    Fam TEXT DEFAULT '',                   -- resident's names, 50 characters each
    Nam TEXT DEFAULT '',
    Och TEXT DEFAULT '',
    x_key INTEGER DEFAULT 0,               -- key quota
    y_key INTEGER DEFAULT 0                -- keys registered
);

-- Key. No key column: edited by rowid.
CREATE TABLE k_key (
    un_key TEXT DEFAULT '',                -- key number, 16 characters (12 hex digits)
    id_pod INTEGER DEFAULT 0,              -- entrance; a gate key: the gate panel's id_bv
    bv_key TEXT DEFAULT '',                -- last 6 digits of un_key
    id_kvr INTEGER DEFAULT 0,              -- apartment, -1 entrance key, -2 gate key
    id_net INTEGER DEFAULT 0,
    l_ob INTEGER NOT NULL DEFAULT 0,
    s_met TEXT DEFAULT '',                 -- label, 50 characters
    status TEXT DEFAULT '',                -- 32 characters
    l_del INTEGER NOT NULL DEFAULT 0
);

-- Switch.
CREATE TABLE k_pk (
    id_pk INTEGER PRIMARY KEY AUTOINCREMENT,
    id_pod INTEGER DEFAULT 0,
    id_net INTEGER DEFAULT 0,
    id_ke INTEGER DEFAULT 0,               -- parameter set (t_ke)
    id_mvv INTEGER DEFAULT 0,              -- call melody (t_mel)
    id_mot INTEGER DEFAULT 0,              -- ring-back melody (t_mel)
    m_vo TEXT DEFAULT '',                  -- camera mask, 16 characters
    m_vb TEXT DEFAULT '',                  -- camera mask, 16 characters
    n_xl INTEGER DEFAULT 0,                -- terminal count (smallint)
    p_fc INTEGER DEFAULT 0,                -- first terminal (smallint)
    sn_pk TEXT DEFAULT '',                 -- serial number, 50 characters
    n_net INTEGER DEFAULT 0,               -- network number
    type_k TEXT DEFAULT '',                -- switch type, 10 characters
    type_f INTEGER DEFAULT 0,              -- distribution mode 0..3 (byte)
    id_dip INTEGER DEFAULT 0,
    ai INTEGER DEFAULT 0,
    ah INTEGER DEFAULT 0,
    l_cnf INTEGER DEFAULT 0,
    conf TEXT DEFAULT '',
    kf_pr INTEGER DEFAULT 0,               -- configuration-file state 0..5
    p_dop INTEGER DEFAULT 0,
    n_vid INTEGER DEFAULT -1,              -- video tract, below 1 = none
    rsrv INTEGER DEFAULT 0,                -- 4-bit reserve
    passw INTEGER DEFAULT 0
);

-- Call panel. Values a new panel does not get from the matrix take the
-- defaults below: sl (volume 0..15) 8, ot (door open time, seconds) 5,
-- adrcs -1 (no handset index), kfilt and blato 0 (hardware dialog range
-- 0..255, set on the device by the service engineer).
CREATE TABLE k_bv (
    id_bv INTEGER PRIMARY KEY AUTOINCREMENT,
    id_net INTEGER DEFAULT 0,
    n_net INTEGER DEFAULT 0,               -- network address 64 + n_nt0
    n_nt0 INTEGER DEFAULT 0,               -- panel number
    n_bv TEXT DEFAULT '',                  -- panel name, 50 characters
    bv_type INTEGER DEFAULT 0,             -- 0 entrance door, 1 gate
    sn_bv TEXT DEFAULT '',                 -- serial number
    adrcs INTEGER DEFAULT -1,              -- handset index for the security call, -1..1025
    adrpk INTEGER DEFAULT 0,               -- id_pk of the switch of that handset
    auto INTEGER NOT NULL DEFAULT 0,
    bell INTEGER NOT NULL DEFAULT 0,
    blato INTEGER DEFAULT 0,               -- 0..255, steps of 0.03 s
    dsoc INTEGER NOT NULL DEFAULT 0,
    farc INTEGER NOT NULL DEFAULT 0,
    kfilt INTEGER DEFAULT 0,               -- key filter mask 0..255
    l_kns INTEGER NOT NULL DEFAULT 0,
    nrcs INTEGER NOT NULL DEFAULT 0,
    ot INTEGER DEFAULT 5,                  -- door open time 1..16 s
    ph_0 INTEGER NOT NULL DEFAULT 0,
    ph_1 INTEGER NOT NULL DEFAULT 0,
    sl INTEGER DEFAULT 8,                  -- sound level 0..15
    l_use INTEGER NOT NULL DEFAULT 0,
    ocode0 TEXT DEFAULT '',                -- door open codes, up to 5 digits each
    ocode1 TEXT DEFAULT '',
    ocode2 TEXT DEFAULT '',
    ocode3 TEXT DEFAULT '',
    ocode4 TEXT DEFAULT '',
    ocode5 TEXT DEFAULT '',
    ocode6 TEXT DEFAULT '',
    ocode7 TEXT DEFAULT '',
    ocode8 TEXT DEFAULT '',
    ocode9 TEXT DEFAULT '',
    kf_pr INTEGER DEFAULT 0,
    p_dop INTEGER DEFAULT 0,
    rsrv INTEGER DEFAULT 0,                -- common-key slots 0..255
    scud INTEGER NOT NULL DEFAULT 0,
    lrez INTEGER NOT NULL DEFAULT 0,
    passw INTEGER DEFAULT 0,
    l_pok INTEGER NOT NULL DEFAULT 0
);

-- Security-post console, one per object. A new row is appended with only
-- id_net, so every parameter defaults to the initial value of its control.
-- n_net defaults to the console address 63; the day and night mode start at
-- 08:00 and 22:00 (480 and 1320 minutes), a choice of ours.
CREATE TABLE k_po (
    id_po INTEGER PRIMARY KEY AUTOINCREMENT,
    id_net INTEGER DEFAULT 0,
    n_net INTEGER DEFAULT 63,
    sn_po TEXT DEFAULT '',                 -- serial number, 10 characters
    id_mel0 INTEGER DEFAULT 0,             -- visitor melody (t_mel)
    id_mel1 INTEGER DEFAULT 0,             -- subscriber melody (t_mel)
    adcch INTEGER DEFAULT 200,
    adccl INTEGER DEFAULT 25,
    adccm INTEGER DEFAULT 110,
    adchh INTEGER DEFAULT 150,
    adchl INTEGER DEFAULT 32,
    adchm INTEGER DEFAULT 64,
    blato INTEGER DEFAULT 152,             -- 0..65535, steps of 0.03 s
    busy INTEGER DEFAULT 31,               -- 0..65535, steps of 0.03 s
    cbto INTEGER DEFAULT 120,
    cldp INTEGER DEFAULT 30,
    clha INTEGER DEFAULT 40,
    clvl INTEGER DEFAULT 8,
    dpto INTEGER DEFAULT 60,
    exec INTEGER DEFAULT 10,
    frmc INTEGER DEFAULT 45,               -- separator character code
    frmi INTEGER DEFAULT 3,                -- separator position 0..5
    klvl INTEGER DEFAULT 8,
    mcam TEXT DEFAULT '',                  -- camera mask, '0'/'1' per camera
    ncam INTEGER DEFAULT 5,
    scam INTEGER DEFAULT 60,
    mtdy INTEGER DEFAULT 480,
    mtnt INTEGER DEFAULT 1320,
    npce INTEGER DEFAULT 915,              -- 0..65535, steps of 0.03 s
    rmto INTEGER DEFAULT 90,
    sobj1 TEXT DEFAULT '',                 -- object slide, 16 characters a line
    sobj2 TEXT DEFAULT '',
    sus1 TEXT DEFAULT '',                  -- operator names, 16 characters each
    sus2 TEXT DEFAULT '',
    sus3 TEXT DEFAULT '',
    sus4 TEXT DEFAULT '',
    talk INTEGER DEFAULT 60,
    kf_pr INTEGER DEFAULT 0,
    p_dop INTEGER DEFAULT 0,
    lrez INTEGER NOT NULL DEFAULT 0,
    passw INTEGER DEFAULT 0
);

-- Matrix switch column. No key column: edited by rowid.
CREATE TABLE m_pk (
    id_net INTEGER DEFAULT 0,
    n_pk INTEGER DEFAULT 0,
    n_pod INTEGER DEFAULT 0,               -- smallint
    kod_d TEXT DEFAULT '',                 -- 5 characters
    v_dvr INTEGER DEFAULT 0,               -- smallint
    n_net INTEGER DEFAULT 0,               -- smallint
    id_pk INTEGER DEFAULT 0,
    id_dom INTEGER DEFAULT 0,
    nm_pod TEXT DEFAULT '',                -- 30 characters
    l_del INTEGER NOT NULL DEFAULT 0
);

-- Matrix cell: call panel x switch. No key column: edited by rowid.
CREATE TABLE m_bv (
    id_net INTEGER DEFAULT 0,
    n_bv TEXT DEFAULT '',                  -- 50 characters
    n_pk INTEGER DEFAULT 0,                -- smallint
    bv_type INTEGER DEFAULT 0,             -- byte
    n_net INTEGER DEFAULT 0,
    n_nt0 INTEGER DEFAULT 0,
    plus INTEGER DEFAULT 0,                -- 1 or 3 wired, 2 other link (smallint)
    id_bv INTEGER DEFAULT 0,
    tract INTEGER DEFAULT 0,               -- byte
    mk_bv INTEGER DEFAULT 0,               -- byte
    mk_po INTEGER DEFAULT 0,               -- byte
    l_use INTEGER NOT NULL DEFAULT 0,
    nm_bv TEXT DEFAULT '',                 -- 30 characters
    l_del INTEGER NOT NULL DEFAULT 0
);

-- Installation parameters: one row, written by reference.sql.
CREATE TABLE t_global (
    KolTractPK INTEGER DEFAULT 8,
    MaxCountBV INTEGER DEFAULT 16,
    CamPO INTEGER DEFAULT 8,
    MaxDevice INTEGER DEFAULT 50,
    SepDevice INTEGER DEFAULT 63,
    APP_pk INTEGER DEFAULT 176,
    APP_bv INTEGER DEFAULT 232,
    APP_po INTEGER DEFAULT 1088,
    MaskBvEnabled INTEGER DEFAULT 2,
    MaskPoEnabled INTEGER DEFAULT 1,
    WidthMain INTEGER DEFAULT 800,
    HeightMain INTEGER DEFAULT 595,
    Shapka INTEGER DEFAULT 5,
    Colstp INTEGER DEFAULT 2,
    nmBVp TEXT DEFAULT 'БВ подъезда',
    nmBVk TEXT DEFAULT 'БВ калитки'
);

-- Flag names. No key column: edited by rowid.
CREATE TABLE t_fl (
    tabl TEXT DEFAULT '',                  -- 'БВ' or 'ППО', 10 characters
    nomf INTEGER DEFAULT 0,                -- flag number 1..16
    namf TEXT DEFAULT ''                   -- flag name, 20 characters
);

-- Switch parameter sets. The defaults are those of the switch editor's
-- controls, so a set appended with only a name is a usable set. t_ed and
-- t_de are in units of 5 minutes (1 = 5 minutes).
CREATE TABLE t_ke (
    id_ke INTEGER PRIMARY KEY AUTOINCREMENT,
    id_net INTEGER DEFAULT 0,
    name TEXT DEFAULT '',
    t_cm INTEGER DEFAULT 0,
    t_cl INTEGER DEFAULT 0,
    t_dl INTEGER DEFAULT 95,
    t_vc INTEGER DEFAULT 0,
    t_dx INTEGER DEFAULT 0,
    t_st INTEGER DEFAULT 1,
    t_mo INTEGER DEFAULT 0,
    t_bo INTEGER DEFAULT 0,
    t_po INTEGER DEFAULT 5,
    edge INTEGER DEFAULT 0,
    t_ed INTEGER DEFAULT 1,
    t_de INTEGER DEFAULT 1,
    acp1 INTEGER DEFAULT 64,
    acp2 INTEGER DEFAULT 128,
    acp3 INTEGER DEFAULT 192,
    acp4 INTEGER DEFAULT 0,
    l_use INTEGER NOT NULL DEFAULT 0,
    t_wt INTEGER DEFAULT 66,
    p_dop INTEGER DEFAULT 0
);

-- Terminal ranges of a switch.
CREATE TABLE t_dip (
    id_dip INTEGER PRIMARY KEY AUTOINCREMENT,
    id_pk INTEGER DEFAULT 0,
    id_net INTEGER DEFAULT 0,
    n_dip INTEGER DEFAULT 0,
    n_nul INTEGER DEFAULT 0,               -- offset
    n_ful INTEGER DEFAULT 0,               -- terminals in the range
    k_kol INTEGER DEFAULT 0,
    lline INTEGER DEFAULT 0
);

-- Melodies.
CREATE TABLE t_mel (
    id_mel INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT DEFAULT '',
    forr TEXT DEFAULT '',                  -- 'вызов', 'отзвонка', 'посетитель', 'абонент'
    l_edit INTEGER NOT NULL DEFAULT 0      -- 1: closed for good
);

-- Notes of a melody. No key column: edited by rowid.
CREATE TABLE t_bp (
    id_mel INTEGER DEFAULT 0,
    nom INTEGER DEFAULT 0,                 -- position, 1-based
    noot INTEGER DEFAULT 0,                -- console picker cell 0..9
    gerc INTEGER DEFAULT 0,                -- tone value 0..255, 0 a pause
    gercbeep INTEGER DEFAULT 0,            -- Hz last sounded
    leng INTEGER DEFAULT 0                 -- duration in units of 32 ms
);

-- Note staff for the melody editor.
CREATE TABLE t_not (
    oct INTEGER DEFAULT 0,                 -- octave (scientific numbering)
    Name TEXT DEFAULT '',                  -- note name
    Valn INTEGER DEFAULT 0,                -- tone value of the device
    Gerc INTEGER DEFAULT 0                 -- frequency, Hz
);

-- Tables read by datasets only.
CREATE TABLE t_sec (
    id_net INTEGER DEFAULT 0,
    n_net INTEGER DEFAULT 0,
    n_sec INTEGER DEFAULT 0,
    n_nt0 INTEGER DEFAULT 0
);

CREATE TABLE t_pack (
    id_pack INTEGER PRIMARY KEY AUTOINCREMENT
);

CREATE TABLE t_pkrd (
    n_pk INTEGER DEFAULT 0,
    s_pk INTEGER DEFAULT 0
);

CREATE TABLE t_pkwt (
    n_pk INTEGER DEFAULT 0,
    t_pk INTEGER DEFAULT 0
);
