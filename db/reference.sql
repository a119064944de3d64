-- Reference rows of a new workstation database.
--
-- Values the program's behaviour does not fix are our own choice and are
-- marked "chosen" below.

-- Installation parameters. Window size, tracts per switch, switch address
-- limit, console address, Shapka, Colstp and the two call-panel names are the
-- program's defaults (the names are stored without the blank the program
-- appends). Chosen:
--   MaxCountBV 16 and CamPO 8: call panels per switch and console cameras;
--     the masks in the device files hold 16 cameras, the form allows 8..255.
--   MaskBvEnabled 2, MaskPoEnabled 1: only the named flags below are usable
--     until the engineer enables more.
--   APP_pk 176, APP_bv 232, APP_po 1088: the bit lengths of section 0
--     (payload and version byte) of the switch, call-panel and console files
--     this program writes (21, 28 and 135 payload bytes), so a file without a
--     header is recognised by its length.
INSERT INTO t_global (KolTractPK, MaxCountBV, CamPO, MaxDevice, SepDevice,
                      APP_pk, APP_bv, APP_po, MaskBvEnabled, MaskPoEnabled,
                      WidthMain, HeightMain, Shapka, Colstp, nmBVp, nmBVk)
VALUES (8, 16, 8, 50, 63, 176, 232, 1088, 2, 1, 800, 595, 5, 2,
        'БВ подъезда', 'БВ калитки');

-- Flag names: the fixed rows the upgrade also keeps present.
INSERT INTO t_fl (tabl, nomf, namf) VALUES
    ('БВ', 1, 'Прямой вызов'),
    ('БВ', 2, 'Отзвонка'),
    ('ППО', 1, 'Перенаправление вызова');

-- The recommended switch parameter set: the switch editor's default values
-- (t_ed and t_de 1 = 5 minutes). id_net 0 (chosen) sorts it after the sets
-- named for objects.
INSERT INTO t_ke (id_ke, id_net, name, t_cm, t_cl, t_dl, t_vc, t_dx, t_st,
                  t_mo, t_bo, t_po, edge, t_ed, t_de, acp1, acp2, acp3, acp4,
                  l_use, t_wt, p_dop)
VALUES (1, 0, 'АРМ DUZAVIZOR рекомендовано', 0, 0, 95, 0, 0, 1,
        0, 0, 5, 0, 1, 1, 64, 128, 192, 0,
        1, 66, 0);

-- Standard melodies, looked up by name. They arrive closed (l_edit 1) so the
-- defaults every new switch and console receives cannot be edited away; the
-- engineer adds melodies of his own. Chosen notes: switch melodies take tone
-- values of the note table below, console melodies cells of the console's
-- 10-tone picker (noot) with their tone values.
INSERT INTO t_mel (id_mel, name, forr, l_edit) VALUES
    (1, 'Стандарт вызова Darvo', 'вызов', 1),
    (2, 'Стандарт отзвонки Darvo', 'отзвонка', 1),
    (3, 'Вызов от посетителя', 'посетитель', 1),
    (4, 'Вызов от абонента', 'абонент', 1);

INSERT INTO t_bp (id_mel, nom, noot, gerc, gercbeep, leng) VALUES
    (1, 1, 0, 23, 0, 6),
    (1, 2, 0, 29, 0, 6),
    (1, 3, 0, 39, 0, 6),
    (1, 4, 0, 29, 0, 6),
    (1, 5, 0, 23, 0, 8),
    (1, 6, 0, 0, 0, 6),
    (2, 1, 0, 39, 0, 4),
    (2, 2, 0, 29, 0, 8),
    (3, 1, 1, 88, 0, 5),
    (3, 2, 3, 106, 0, 5),
    (3, 3, 5, 134, 0, 5),
    (3, 4, 3, 106, 0, 5),
    (3, 5, 1, 88, 0, 5),
    (4, 1, 9, 238, 0, 4),
    (4, 2, 7, 178, 0, 4),
    (4, 3, 5, 134, 0, 4),
    (4, 4, 7, 178, 0, 4);

-- Note staff: equal-tempered notes of octaves 2 to 5 (chosen range: every
-- tone value fits the device's 8-bit field and no two notes share one).
-- Valn = tone value rounded from 15625 / Gerc - 1 (the device divides a
-- 16 MHz clock by 1024 x (value + 1)); Gerc = the note's frequency, rounded.
INSERT INTO t_not (oct, Name, Valn, Gerc) VALUES
    (2, 'До', 238, 65),
    (2, 'До#', 224, 69),
    (2, 'Ре', 212, 73),
    (2, 'Ре#', 200, 78),
    (2, 'Ми', 189, 82),
    (2, 'Фа', 178, 87),
    (2, 'Фа#', 168, 92),
    (2, 'Соль', 158, 98),
    (2, 'Соль#', 149, 104),
    (2, 'Ля', 141, 110),
    (2, 'Ля#', 133, 117),
    (2, 'Си', 126, 123),
    (3, 'До', 118, 131),
    (3, 'До#', 112, 139),
    (3, 'Ре', 105, 147),
    (3, 'Ре#', 99, 156),
    (3, 'Ми', 94, 165),
    (3, 'Фа', 88, 175),
    (3, 'Фа#', 83, 185),
    (3, 'Соль', 79, 196),
    (3, 'Соль#', 74, 208),
    (3, 'Ля', 70, 220),
    (3, 'Ля#', 66, 233),
    (3, 'Си', 62, 247),
    (4, 'До', 59, 262),
    (4, 'До#', 55, 277),
    (4, 'Ре', 52, 294),
    (4, 'Ре#', 49, 311),
    (4, 'Ми', 46, 330),
    (4, 'Фа', 44, 349),
    (4, 'Фа#', 41, 370),
    (4, 'Соль', 39, 392),
    (4, 'Соль#', 37, 415),
    (4, 'Ля', 35, 440),
    (4, 'Ля#', 33, 466),
    (4, 'Си', 31, 494),
    (5, 'До', 29, 523),
    (5, 'До#', 27, 554),
    (5, 'Ре', 26, 587),
    (5, 'Ре#', 24, 622),
    (5, 'Ми', 23, 659),
    (5, 'Фа', 21, 698),
    (5, 'Фа#', 20, 740),
    (5, 'Соль', 19, 784),
    (5, 'Соль#', 18, 831),
    (5, 'Ля', 17, 880),
    (5, 'Ля#', 16, 932),
    (5, 'Си', 15, 988);
