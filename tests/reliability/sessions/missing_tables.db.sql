CREATE TABLE other(x TEXT);
INSERT INTO other VALUES('kept');
