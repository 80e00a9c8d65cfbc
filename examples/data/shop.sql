-- The sample shop's database: products, customers, orders and their lines.
-- Rebuild shop.sqlite from this file with build_shop_db.sh.

CREATE TABLE products (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  category TEXT NOT NULL,
  unit TEXT NOT NULL,
  price REAL NOT NULL
);
CREATE TABLE customers (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  city TEXT NOT NULL
);
CREATE TABLE orders (
  id INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  order_date TEXT NOT NULL
);
CREATE TABLE order_lines (
  id INTEGER PRIMARY KEY,
  order_id INTEGER NOT NULL REFERENCES orders(id),
  product_id INTEGER NOT NULL REFERENCES products(id),
  quantity INTEGER NOT NULL,
  unit_price REAL NOT NULL
);

INSERT INTO products VALUES (101, 'Acrylic paint, 6 tubes', 'Art supplies', 'set', 11.50);
INSERT INTO products VALUES (102, 'Brush set, synthetic', 'Art supplies', 'set', 8.75);
INSERT INTO products VALUES (103, 'Canvas board 30 x 40 cm', 'Art supplies', 'piece', 5.60);
INSERT INTO products VALUES (104, 'Charcoal sticks, box of 10', 'Art supplies', 'box', 4.20);
INSERT INTO products VALUES (105, 'Colouring pencils, 36', 'Art supplies', 'box', 12.40);
INSERT INTO products VALUES (106, 'Fixative spray 400 ml', 'Art supplies', 'can', 9.30);
INSERT INTO products VALUES (107, 'Modelling clay 500 g', 'Art supplies', 'pack', 4.85);
INSERT INTO products VALUES (108, 'Oil pastels, 24 colours', 'Art supplies', 'box', 7.95);
INSERT INTO products VALUES (109, 'Palette knife', 'Art supplies', 'piece', 3.10);
INSERT INTO products VALUES (110, 'Sketch pad A4, 50 sheets', 'Art supplies', 'pad', 6.40);
INSERT INTO products VALUES (111, 'Watercolour set, 12 pans', 'Art supplies', 'set', 14.90);
INSERT INTO products VALUES (112, 'Airmail envelope DL, 25', 'Envelopes', 'pack', 3.40);
INSERT INTO products VALUES (113, 'Board-backed C4, 10', 'Envelopes', 'pack', 6.95);
INSERT INTO products VALUES (114, 'Envelope C4, brown, 25', 'Envelopes', 'pack', 5.90);
INSERT INTO products VALUES (115, 'Envelope C5, white, 50', 'Envelopes', 'pack', 4.60);
INSERT INTO products VALUES (116, 'Envelope C6, white, 50', 'Envelopes', 'pack', 3.20);
INSERT INTO products VALUES (117, 'Envelope DL with window, 50', 'Envelopes', 'pack', 4.10);
INSERT INTO products VALUES (118, 'Gift envelope, kraft, 10', 'Envelopes', 'pack', 3.75);
INSERT INTO products VALUES (119, 'Padded envelope, size D', 'Envelopes', 'piece', 0.85);
INSERT INTO products VALUES (120, 'Padded envelope, size H', 'Envelopes', 'piece', 1.35);
INSERT INTO products VALUES (121, 'Self-seal C5, 100', 'Envelopes', 'pack', 8.20);
INSERT INTO products VALUES (122, 'Archive box', 'Filing', 'piece', 3.80);
INSERT INTO products VALUES (123, 'Box file, marbled', 'Filing', 'piece', 4.45);
INSERT INTO products VALUES (124, 'Clear-view folder, 20 sleeves', 'Filing', 'piece', 3.25);
INSERT INTO products VALUES (125, 'Document wallet, 10', 'Filing', 'pack', 5.30);
INSERT INTO products VALUES (126, 'Elastic folder A4', 'Filing', 'piece', 1.95);
INSERT INTO products VALUES (127, 'Expanding file, 13 parts', 'Filing', 'piece', 7.90);
INSERT INTO products VALUES (128, 'Index dividers 1–12', 'Filing', 'set', 2.35);
INSERT INTO products VALUES (129, 'Lever arch file A4, blue', 'Filing', 'piece', 3.95);
INSERT INTO products VALUES (130, 'Punched pockets, 100', 'Filing', 'pack', 6.10);
INSERT INTO products VALUES (131, 'Ring binder A4, 2 rings', 'Filing', 'piece', 2.60);
INSERT INTO products VALUES (132, 'Suspension file, 25', 'Filing', 'box', 14.20);
INSERT INTO products VALUES (133, 'Desk diary 2027', 'Notebooks', 'piece', 14.50);
INSERT INTO products VALUES (134, 'Exercise book, 10', 'Notebooks', 'pack', 6.50);
INSERT INTO products VALUES (135, 'Hardback journal, dotted', 'Notebooks', 'piece', 12.90);
INSERT INTO products VALUES (136, 'Index cards A7, 100', 'Notebooks', 'pack', 2.45);
INSERT INTO products VALUES (137, 'Meeting book A4', 'Notebooks', 'piece', 6.80);
INSERT INTO products VALUES (138, 'Notebook A4, squared, 80 pages', 'Notebooks', 'piece', 3.40);
INSERT INTO products VALUES (139, 'Notebook A5, lined, 96 pages', 'Notebooks', 'piece', 2.90);
INSERT INTO products VALUES (140, 'Pocket notebook A6, 3', 'Notebooks', 'pack', 3.60);
INSERT INTO products VALUES (141, 'Reporter''s pad, 80 sheets', 'Notebooks', 'piece', 2.15);
INSERT INTO products VALUES (142, 'Spiral pad A4, 160 pages', 'Notebooks', 'piece', 4.75);
INSERT INTO products VALUES (143, 'Sticky notes 76 x 76, 12', 'Notebooks', 'pack', 7.20);
INSERT INTO products VALUES (144, 'Adhesive tape 19 mm, 8', 'Office supplies', 'pack', 5.20);
INSERT INTO products VALUES (145, 'Bulldog clips, 12', 'Office supplies', 'box', 3.30);
INSERT INTO products VALUES (146, 'Desk tidy, black mesh', 'Office supplies', 'piece', 9.90);
INSERT INTO products VALUES (147, 'Glue stick 21 g', 'Office supplies', 'piece', 1.65);
INSERT INTO products VALUES (148, 'Hole punch, 2 holes', 'Office supplies', 'piece', 8.40);
INSERT INTO products VALUES (149, 'Letter tray', 'Office supplies', 'piece', 4.30);
INSERT INTO products VALUES (150, 'Paper clips 28 mm, 100', 'Office supplies', 'box', 0.95);
INSERT INTO products VALUES (151, 'Rubber bands, 100 g', 'Office supplies', 'bag', 1.80);
INSERT INTO products VALUES (152, 'Scissors 21 cm', 'Office supplies', 'piece', 4.60);
INSERT INTO products VALUES (153, 'Stapler, 20 sheets', 'Office supplies', 'piece', 6.90);
INSERT INTO products VALUES (154, 'Staples 24/6, 5000', 'Office supplies', 'box', 2.10);
INSERT INTO products VALUES (155, 'Tape dispenser', 'Office supplies', 'piece', 7.80);
INSERT INTO products VALUES (156, 'Card A4 160 g, white, 100', 'Paper', 'pack', 7.45);
INSERT INTO products VALUES (157, 'Coloured paper A4, assorted, 250', 'Paper', 'pack', 6.35);
INSERT INTO products VALUES (158, 'Continuous paper, 2000', 'Paper', 'box', 24.90);
INSERT INTO products VALUES (159, 'Copy paper A3 80 g, 500 sheets', 'Paper', 'ream', 10.95);
INSERT INTO products VALUES (160, 'Copy paper A4 80 g, 500 sheets', 'Paper', 'ream', 5.49);
INSERT INTO products VALUES (161, 'Graph paper A4, 50', 'Paper', 'pad', 3.15);
INSERT INTO products VALUES (162, 'Label sheets A4, 21 per sheet, 100', 'Paper', 'box', 13.60);
INSERT INTO products VALUES (163, 'Photo paper A4 glossy, 50', 'Paper', 'pack', 11.80);
INSERT INTO products VALUES (164, 'Premium paper A4 100 g, 500', 'Paper', 'ream', 8.90);
INSERT INTO products VALUES (165, 'Recycled paper A4 80 g, 500', 'Paper', 'ream', 5.20);
INSERT INTO products VALUES (166, 'Tracing paper A4, 50', 'Paper', 'pad', 4.95);
INSERT INTO products VALUES (167, 'Carpenter''s pencil', 'Pencils', 'piece', 0.75);
INSERT INTO products VALUES (168, 'Erasable colouring pencils, 12', 'Pencils', 'box', 5.80);
INSERT INTO products VALUES (169, 'Eraser, white, 3', 'Pencils', 'pack', 1.50);
INSERT INTO products VALUES (170, 'Graphite pencils, set of 12', 'Pencils', 'set', 9.60);
INSERT INTO products VALUES (171, 'Leads 0.5 mm HB, 12', 'Pencils', 'tube', 0.90);
INSERT INTO products VALUES (172, 'Mechanical pencil 0.5 mm', 'Pencils', 'piece', 2.95);
INSERT INTO products VALUES (173, 'Pencil 2B, 12', 'Pencils', 'box', 3.80);
INSERT INTO products VALUES (174, 'Pencil HB, 12', 'Pencils', 'box', 3.60);
INSERT INTO products VALUES (175, 'Pencil sharpener, metal', 'Pencils', 'piece', 1.20);
INSERT INTO products VALUES (176, 'Sharpener with box', 'Pencils', 'piece', 2.40);
INSERT INTO products VALUES (177, 'Ballpoint pen, black, 10', 'Pens', 'box', 3.90);
INSERT INTO products VALUES (178, 'Ballpoint pen, blue, 10', 'Pens', 'box', 3.90);
INSERT INTO products VALUES (179, 'Correction roller', 'Pens', 'piece', 2.30);
INSERT INTO products VALUES (180, 'Fineliner 0.4 mm, 10 colours', 'Pens', 'wallet', 8.50);
INSERT INTO products VALUES (181, 'Fountain pen, steel nib', 'Pens', 'piece', 18.90);
INSERT INTO products VALUES (182, 'Gel pen 0.7 mm, assorted 8', 'Pens', 'pack', 6.20);
INSERT INTO products VALUES (183, 'Highlighter, yellow, 4', 'Pens', 'pack', 3.45);
INSERT INTO products VALUES (184, 'Highlighters, assorted 6', 'Pens', 'wallet', 4.95);
INSERT INTO products VALUES (185, 'Ink cartridges, blue, 30', 'Pens', 'box', 3.70);
INSERT INTO products VALUES (186, 'Permanent marker, black, 4', 'Pens', 'pack', 4.40);
INSERT INTO products VALUES (187, 'Rollerball, black', 'Pens', 'piece', 2.75);
INSERT INTO products VALUES (188, 'Whiteboard markers, 4', 'Pens', 'pack', 5.65);

INSERT INTO customers VALUES (1, 'Bakker & Sons', 'Utrecht');
INSERT INTO customers VALUES (2, 'Northwind Architects', 'Leeds');
INSERT INTO customers VALUES (3, 'Café Lumière', 'Lyon');
INSERT INTO customers VALUES (4, 'Harbour Street School', 'Aberdeen');
INSERT INTO customers VALUES (5, 'Meridian Legal', 'Dublin');
INSERT INTO customers VALUES (6, 'Studio Vossberg', 'Hamburg');
INSERT INTO customers VALUES (7, 'Greenfield Clinic', 'Bristol');

INSERT INTO orders VALUES (1001, 2, '2026-10-04');
INSERT INTO orders VALUES (1002, 1, '2026-10-05');
INSERT INTO orders VALUES (1003, 6, '2026-10-07');
INSERT INTO orders VALUES (1004, 5, '2026-10-09');
INSERT INTO orders VALUES (1005, 1, '2026-10-11');
INSERT INTO orders VALUES (1006, 6, '2026-10-15');
INSERT INTO orders VALUES (1007, 1, '2026-10-17');
INSERT INTO orders VALUES (1008, 2, '2026-10-20');
INSERT INTO orders VALUES (1009, 5, '2026-10-23');
INSERT INTO orders VALUES (1010, 6, '2026-10-26');
INSERT INTO orders VALUES (1011, 1, '2026-10-30');
INSERT INTO orders VALUES (1012, 3, '2026-11-03');
INSERT INTO orders VALUES (1013, 7, '2026-11-07');
INSERT INTO orders VALUES (1014, 1, '2026-11-09');

INSERT INTO order_lines VALUES (1, 1001, 184, 2, 4.95);
INSERT INTO order_lines VALUES (2, 1001, 107, 3, 4.85);
INSERT INTO order_lines VALUES (3, 1001, 110, 1, 6.40);
INSERT INTO order_lines VALUES (4, 1001, 169, 3, 1.50);
INSERT INTO order_lines VALUES (5, 1001, 113, 1, 6.95);
INSERT INTO order_lines VALUES (6, 1002, 154, 2, 2.10);
INSERT INTO order_lines VALUES (7, 1002, 109, 1, 3.10);
INSERT INTO order_lines VALUES (8, 1002, 131, 10, 2.60);
INSERT INTO order_lines VALUES (9, 1002, 112, 3, 3.40);
INSERT INTO order_lines VALUES (10, 1002, 171, 1, 0.90);
INSERT INTO order_lines VALUES (11, 1003, 108, 1, 7.95);
INSERT INTO order_lines VALUES (12, 1003, 174, 3, 3.60);
INSERT INTO order_lines VALUES (13, 1003, 175, 10, 1.20);
INSERT INTO order_lines VALUES (14, 1003, 151, 1, 1.80);
INSERT INTO order_lines VALUES (15, 1003, 107, 2, 4.85);
INSERT INTO order_lines VALUES (16, 1003, 129, 2, 3.95);
INSERT INTO order_lines VALUES (17, 1004, 174, 3, 3.60);
INSERT INTO order_lines VALUES (18, 1004, 140, 10, 3.60);
INSERT INTO order_lines VALUES (19, 1005, 174, 5, 3.60);
INSERT INTO order_lines VALUES (20, 1005, 182, 1, 6.20);
INSERT INTO order_lines VALUES (21, 1005, 125, 3, 5.30);
INSERT INTO order_lines VALUES (22, 1005, 148, 1, 8.40);
INSERT INTO order_lines VALUES (23, 1005, 113, 3, 6.95);
INSERT INTO order_lines VALUES (24, 1005, 171, 1, 0.90);
INSERT INTO order_lines VALUES (25, 1006, 155, 2, 7.80);
INSERT INTO order_lines VALUES (26, 1006, 141, 1, 2.15);
INSERT INTO order_lines VALUES (27, 1006, 160, 10, 5.49);
INSERT INTO order_lines VALUES (28, 1006, 175, 1, 1.20);
INSERT INTO order_lines VALUES (29, 1006, 159, 5, 10.95);
INSERT INTO order_lines VALUES (30, 1006, 147, 10, 1.65);
INSERT INTO order_lines VALUES (31, 1007, 139, 3, 2.90);
INSERT INTO order_lines VALUES (32, 1007, 168, 1, 5.80);
INSERT INTO order_lines VALUES (33, 1007, 164, 1, 8.90);
INSERT INTO order_lines VALUES (34, 1007, 144, 3, 5.20);
INSERT INTO order_lines VALUES (35, 1007, 158, 2, 24.90);
INSERT INTO order_lines VALUES (36, 1007, 137, 1, 6.80);
INSERT INTO order_lines VALUES (37, 1008, 154, 3, 2.10);
INSERT INTO order_lines VALUES (38, 1008, 106, 10, 9.30);
INSERT INTO order_lines VALUES (39, 1008, 186, 10, 4.40);
INSERT INTO order_lines VALUES (40, 1008, 110, 2, 6.40);
INSERT INTO order_lines VALUES (41, 1008, 172, 2, 2.95);
INSERT INTO order_lines VALUES (42, 1009, 175, 2, 1.20);
INSERT INTO order_lines VALUES (43, 1009, 159, 5, 10.95);
INSERT INTO order_lines VALUES (44, 1009, 109, 5, 3.10);
INSERT INTO order_lines VALUES (45, 1009, 112, 1, 3.40);
INSERT INTO order_lines VALUES (46, 1009, 135, 1, 12.90);
INSERT INTO order_lines VALUES (47, 1010, 188, 1, 5.65);
INSERT INTO order_lines VALUES (48, 1010, 158, 2, 24.90);
INSERT INTO order_lines VALUES (49, 1010, 137, 2, 6.80);
INSERT INTO order_lines VALUES (50, 1010, 150, 1, 0.95);
INSERT INTO order_lines VALUES (51, 1010, 186, 3, 4.40);
INSERT INTO order_lines VALUES (52, 1010, 145, 1, 3.30);
INSERT INTO order_lines VALUES (53, 1011, 137, 2, 6.80);
INSERT INTO order_lines VALUES (54, 1011, 117, 2, 4.10);
INSERT INTO order_lines VALUES (55, 1011, 132, 10, 14.20);
INSERT INTO order_lines VALUES (56, 1012, 158, 2, 24.90);
INSERT INTO order_lines VALUES (57, 1012, 152, 1, 4.60);
INSERT INTO order_lines VALUES (58, 1012, 171, 10, 0.90);
INSERT INTO order_lines VALUES (59, 1013, 136, 1, 2.45);
INSERT INTO order_lines VALUES (60, 1013, 154, 1, 2.10);
INSERT INTO order_lines VALUES (61, 1013, 146, 1, 9.90);
INSERT INTO order_lines VALUES (62, 1013, 188, 1, 5.65);
INSERT INTO order_lines VALUES (63, 1013, 149, 1, 4.30);
INSERT INTO order_lines VALUES (64, 1013, 130, 5, 6.10);
INSERT INTO order_lines VALUES (65, 1014, 176, 1, 2.40);
INSERT INTO order_lines VALUES (66, 1014, 124, 2, 3.25);
INSERT INTO order_lines VALUES (67, 1014, 134, 3, 6.50);
INSERT INTO order_lines VALUES (68, 1014, 137, 2, 6.80);
INSERT INTO order_lines VALUES (69, 1014, 101, 3, 11.50);
