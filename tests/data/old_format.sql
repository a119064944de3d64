-- A database in the old layout: flag columns on objects, call panels and
-- consoles, no added columns, t_global without SepDevice, call timeouts below
-- 66 and the old flag-name table. Logical values as the old engine stored
-- them: 0, 1 and -1 for true.

CREATE TABLE k_net (
    id_net INTEGER PRIMARY KEY AUTOINCREMENT, ident TEXT, id_nom INTEGER, d_beg TEXT,
    d_net TEXT, v_pod INTEGER, v_kal INTEGER, adres TEXT, l_pok INTEGER, l_obv INTEGER,
    l_otz INTEGER, l_pnp INTEGER, st_net TEXT, farc INTEGER, incr INTEGER, v_key INTEGER,
    p_kvr TEXT, n_dir INTEGER,
    f_m03 INTEGER, f_m04 INTEGER, f_m05 INTEGER, f_m06 INTEGER, f_m07 INTEGER,
    f_m08 INTEGER, f_m09 INTEGER, f_m10 INTEGER, f_m11 INTEGER, f_m12 INTEGER,
    f_m13 INTEGER, f_m14 INTEGER, f_m15 INTEGER, f_m16 INTEGER,
    f_p02 INTEGER, f_p03 INTEGER, f_p04 INTEGER, f_p05 INTEGER, f_p06 INTEGER,
    f_p07 INTEGER, f_p08 INTEGER, f_p09 INTEGER, f_p10 INTEGER, f_p11 INTEGER,
    f_p12 INTEGER, f_p13 INTEGER, f_p14 INTEGER, f_p15 INTEGER, f_p16 INTEGER
);
INSERT INTO k_net (id_net, ident, id_nom, v_pod, v_kal, l_pok, l_otz, st_net, v_key, p_kvr, n_dir,
                   f_m03, f_m04, f_m05, f_m06, f_m07, f_m08, f_m09, f_m10, f_m11, f_m12,
                   f_m13, f_m14, f_m15, f_m16,
                   f_p02, f_p03, f_p04, f_p05, f_p06, f_p07, f_p08, f_p09, f_p10, f_p11,
                   f_p12, f_p13, f_p14, f_p15, f_p16)
VALUES (1, 'Объект 1', 1, 1, 0, 1, 1, 'закрыто', 4, '000', 7,
        1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,
        1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1),
       (2, 'Объект 2', 2, 1, 1, 0, 0, 'сохранено', 2, '', 0,
        0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, NULL);

CREATE TABLE k_dom (
    id_dom INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER, house TEXT, kod_d TEXT,
    v_pod INTEGER, st_dom TEXT, v_kvr INTEGER
);
INSERT INTO k_dom VALUES (1, 1, 'Дом 1', '', 1, '', 2), (2, 2, 'Дом 2', '3', 1, '', 1);

CREATE TABLE k_pod (
    id_pod INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER, id_dom INTEGER, n_pod INTEGER,
    v_dvr INTEGER, v_kvr INTEGER, n1kvr INTEGER, npkvr INTEGER, type_n INTEGER,
    d_key INTEGER, o_key INTEGER, o_rky INTEGER
);
INSERT INTO k_pod VALUES (1, 1, 1, 1, 1, 2, 1, 2, 0, 0, 0, 0), (2, 2, 2, 1, 1, 1, 1, 1, 0, 0, 0, 0);

CREATE TABLE k_kvr (
    id_kvr INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER, id_pod INTEGER, p_nom INTEGER,
    n_kvr TEXT, p_kvr TEXT, call INTEGER, m_obr INTEGER, p_pk INTEGER, l_otz INTEGER,
    l_del INTEGER, v_key INTEGER, r_key INTEGER, mtdy INTEGER, mtnt INTEGER, l_pnp INTEGER,
    st_kvr TEXT, l_trub INTEGER,
    f_m03 INTEGER, f_m04 INTEGER, f_m05 INTEGER, f_m06 INTEGER, f_m07 INTEGER,
    f_m08 INTEGER, f_m09 INTEGER, f_m10 INTEGER, f_m11 INTEGER, f_m12 INTEGER,
    f_m13 INTEGER, f_m14 INTEGER, f_m15 INTEGER, f_m16 INTEGER,
    f_p02 INTEGER, f_p03 INTEGER, f_p04 INTEGER, f_p05 INTEGER, f_p06 INTEGER,
    f_p07 INTEGER, f_p08 INTEGER, f_p09 INTEGER, f_p10 INTEGER, f_p11 INTEGER,
    f_p12 INTEGER, f_p13 INTEGER, f_p14 INTEGER, f_p15 INTEGER, f_p16 INTEGER
);
INSERT INTO k_kvr (id_kvr, id_net, id_pod, p_nom, n_kvr, p_kvr, v_key, r_key, mtdy, mtnt, st_kvr,
                   l_trub, f_m03)
VALUES (1, 1, 1, 1, '1', '1', 4, 2, -1, -1, 'нет', 0, 1),
       (2, 1, 1, 2, '2', '2', 5, 5, -1, -1, 'нет', 0, 0),
       (3, 2, 2, 1, '1', '1', NULL, 1, -1, -1, 'нет', 0, 0);

CREATE TABLE k_key (
    un_key TEXT, id_pod INTEGER, bv_key TEXT, id_kvr INTEGER, id_net INTEGER, l_ob INTEGER,
    s_met TEXT, status TEXT, l_del INTEGER
);
INSERT INTO k_key VALUES ('0000001A2B3C', 1, '1A2B3C', 1, 1, 0, '', '', 0);

CREATE TABLE k_pk (
    id_pk INTEGER PRIMARY KEY AUTOINCREMENT, id_pod INTEGER, id_net INTEGER, id_ke INTEGER,
    id_mvv INTEGER, id_mot INTEGER, m_vo TEXT, m_vb TEXT, n_xl INTEGER, p_fc INTEGER,
    sn_pk TEXT, n_net INTEGER, type_k TEXT, type_f INTEGER, id_dip INTEGER, ai INTEGER,
    ah INTEGER, l_cnf INTEGER, conf TEXT
);
INSERT INTO k_pk (id_pk, id_pod, id_net, id_ke, n_net, type_k, type_f, n_xl, p_fc)
VALUES (1, 1, 1, 1, 1, 'Торвин', 0, 3, 1), (2, 2, 2, 2, 1, 'Торвин', 0, 2, 1);

CREATE TABLE k_bv (
    id_bv INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER, n_net INTEGER, n_nt0 INTEGER,
    n_bv TEXT, bv_type INTEGER, sn_bv TEXT, adrcs INTEGER, adrpk INTEGER, auto INTEGER,
    bell INTEGER, blato INTEGER, dsoc INTEGER, farc INTEGER, kfilt INTEGER, l_kns INTEGER,
    nrcs INTEGER, ot INTEGER, ph_0 INTEGER, ph_1 INTEGER, sl INTEGER, l_use INTEGER,
    ocode0 TEXT, ocode1 TEXT, ocode2 TEXT, ocode3 TEXT, ocode4 TEXT,
    ocode5 TEXT, ocode6 TEXT, ocode7 TEXT, ocode8 TEXT, ocode9 TEXT,
    f_m03 INTEGER, f_m04 INTEGER, f_m05 INTEGER, f_m06 INTEGER, f_m07 INTEGER,
    f_m08 INTEGER, f_m09 INTEGER, f_m10 INTEGER, f_m11 INTEGER, f_m12 INTEGER,
    f_m13 INTEGER, f_m14 INTEGER, f_m15 INTEGER, f_m16 INTEGER
);
INSERT INTO k_bv (id_bv, id_net, n_net, n_nt0, n_bv, bv_type, sl, ot, l_use, f_m03)
VALUES (1, 1, 65, 1, 'БВ01', 0, 8, 5, 1, 1),
       (2, 1, 66, 2, 'БВ02', 1, 8, 5, 1, 0),
       (3, 2, 65, 1, 'БВ01', 0, 8, 5, 1, 0);

CREATE TABLE k_po (
    id_po INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER, n_net INTEGER, sn_po TEXT,
    id_mel0 INTEGER, id_mel1 INTEGER, adcch INTEGER, adccl INTEGER, adccm INTEGER,
    adchh INTEGER, adchl INTEGER, adchm INTEGER, blato INTEGER, busy INTEGER, cbto INTEGER,
    cldp INTEGER, clha INTEGER, clvl INTEGER, dpto INTEGER, exec INTEGER, frmc INTEGER,
    frmi INTEGER, klvl INTEGER, mcam TEXT, ncam INTEGER, scam INTEGER, mtdy INTEGER,
    mtnt INTEGER, npce INTEGER, rmto INTEGER, sobj1 TEXT, sobj2 TEXT, sus1 TEXT, sus2 TEXT,
    sus3 TEXT, sus4 TEXT, talk INTEGER,
    f_p02 INTEGER, f_p03 INTEGER, f_p04 INTEGER, f_p05 INTEGER, f_p06 INTEGER,
    f_p07 INTEGER, f_p08 INTEGER, f_p09 INTEGER, f_p10 INTEGER, f_p11 INTEGER,
    f_p12 INTEGER, f_p13 INTEGER, f_p14 INTEGER, f_p15 INTEGER, f_p16 INTEGER
);
INSERT INTO k_po (id_po, id_net, n_net, busy, blato, npce, f_p02)
VALUES (1, 1, 63, 31, 152, 915, 1);

CREATE TABLE m_pk (
    id_net INTEGER, n_pk INTEGER, n_pod INTEGER, kod_d TEXT, v_dvr INTEGER, n_net INTEGER,
    id_pk INTEGER, id_dom INTEGER
);
INSERT INTO m_pk VALUES (1, 1, 1, '', 1, 1, 1, 1), (2, 1, 1, '3', 1, 1, 2, 2);

CREATE TABLE m_bv (
    id_net INTEGER, n_bv TEXT, n_pk INTEGER, bv_type INTEGER, n_net INTEGER, n_nt0 INTEGER,
    plus INTEGER, id_bv INTEGER, tract INTEGER, mk_bv INTEGER, mk_po INTEGER, l_use INTEGER
);
INSERT INTO m_bv VALUES (1, 'БВ01', 1, 0, 65, 1, 1, 1, 1, 0, 0, 1),
                        (1, 'БВ02', 1, 1, 66, 2, 1, 2, 2, 0, 0, 1);

CREATE TABLE t_global (
    KolTractPK INTEGER, MaxCountBV INTEGER, CamPO INTEGER, MaxDevice INTEGER,
    APP_pk INTEGER, APP_bv INTEGER, APP_po INTEGER, MaskBvEnabled INTEGER,
    MaskPoEnabled INTEGER, WidthMain INTEGER, HeightMain INTEGER, Shapka INTEGER,
    Colstp INTEGER, nmBVp TEXT, nmBVk TEXT
);
INSERT INTO t_global VALUES (6, 16, 8, 40, 176, 232, 1088, 16, 16, 1024, 700, 5, 2,
                             'БВ подъезда', 'БВ калитки');

CREATE TABLE t_fl (f_nm TEXT, id_net INTEGER, n_net INTEGER, f_sz INTEGER);
INSERT INTO t_fl VALUES ('флаги', 0, 0, 16);

CREATE TABLE t_ke (
    id_ke INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER, name TEXT, t_cm INTEGER,
    t_cl INTEGER, t_dl INTEGER, t_vc INTEGER, t_dx INTEGER, t_st INTEGER, t_mo INTEGER,
    t_bo INTEGER, t_po INTEGER, edge INTEGER, t_ed INTEGER, t_de INTEGER, acp1 INTEGER,
    acp2 INTEGER, acp3 INTEGER, acp4 INTEGER, l_use INTEGER
);
INSERT INTO t_ke VALUES (1, 0, 'АРМ DUZAVIZOR рекомендовано', 0, 0, 30, 0, 0, 4, 0, 0, 5, 0, 1, 1,
                         64, 128, 192, 0, -1),
                        (2, 2, 'Объект 2', 10, 20, 100, 0, 0, 4, 0, 0, 5, 0, 2, 2,
                         64, 128, 192, 0, 0),
                        (3, 1, 'Объект 1', 10, 20, 65, 0, 0, 4, 0, 0, 5, 0, 2, 2,
                         64, 128, 192, 0, 0);

CREATE TABLE t_dip (
    id_dip INTEGER PRIMARY KEY AUTOINCREMENT, id_pk INTEGER, id_net INTEGER, n_dip INTEGER,
    n_nul INTEGER, n_ful INTEGER, k_kol INTEGER, lline INTEGER
);

CREATE TABLE t_mel (id_mel INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, forr TEXT, l_edit INTEGER);
INSERT INTO t_mel VALUES (1, 'Стандарт вызова Darvo', 'вызов', -1);

CREATE TABLE t_bp (id_mel INTEGER, nom INTEGER, noot INTEGER, gerc INTEGER, gercbeep INTEGER,
                   leng INTEGER);
INSERT INTO t_bp VALUES (1, 1, 0, 88, 0, 7);

CREATE TABLE t_not (oct INTEGER, Name TEXT, Valn INTEGER, Gerc INTEGER);
INSERT INTO t_not VALUES (3, 'Фа', 88, 175);

CREATE TABLE t_sec (id_net INTEGER, n_net INTEGER, n_sec INTEGER, n_nt0 INTEGER);
CREATE TABLE t_pack (id_pack INTEGER PRIMARY KEY AUTOINCREMENT);
CREATE TABLE t_pkrd (n_pk INTEGER, s_pk INTEGER);
CREATE TABLE t_pkwt (n_pk INTEGER, t_pk INTEGER);
