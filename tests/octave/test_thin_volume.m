function tests = test_thin_volume
tests = {@worked_blocks, @volumes_left_as_they_are, @empty_dimensions, @random_volume, ...
         @count_errors, @validation_errors};
end

function A = block(dims, rows, cols, slices)
A = false(dims);
A(rows, cols, slices) = true;
end

function check_true_elements(B, dims, expected)
% B is logical of size dims and true exactly at the rows of expected (r, c, s).
assert(islogical(B) && isequal(size(B), dims));
[r, c, s] = ind2sub(dims, find(B));
assert(isequal(sortrows([r c s]), sortrows(expected)));
end

function worked_blocks
check_true_elements(thin_volume(block([7 7 7], 2:6, 2:6, 2:6)), [7 7 7], [4 4 4]);
check_true_elements(thin_volume(block([5 5 5], 2:4, 2:4, 2:4)), [5 5 5], [3 3 3]);
check_true_elements(thin_volume(block([4 4 4], 2:3, 2:3, 2:3)), [4 4 4], [2 2 3; 3 2 3]);
check_true_elements(thin_volume(block([5 6 7], 2:4, 2:5, 2:6)), [5 6 7], [3 3 4; 3 3 5]);
check_true_elements(thin_volume(block([9 9 5], 2:8, 2:8, 3:4)), [9 9 5], [5 5 4]);
end

function volumes_left_as_they_are
all_true = true(6, 7, 8);
assert(isequal(thin_volume(all_true), all_true));
assert(isequal(thin_volume(false(6, 7, 8)), false(6, 7, 8)));
thin = rand(2, 9, 9) > 0.4;
assert(isequal(thin_volume(thin), thin));
line = false(9, 9, 9);
line(4, 2:8, 5) = true;
assert(isequal(thin_volume(line), line));
end

function empty_dimensions
for dims = {[0 3 4], [3 0 4], [3 4 0]}
  B = thin_volume(false(dims{1}));
  assert(islogical(B) && isequal(size(B), dims{1}));
end
end

% A pseudo-random 12x11x10 volume from a 32-bit linear congruential
% generator (exact in double precision, so MATLAB and Octave agree), and the
% voxels the straightforward thinning driver deletes from it.
function random_volume
dims = [12 11 10];
A = false(dims);
state = 12345;
for k = 1:numel(A)
  state = mod(state * 69069 + 1, 2^32);
  A(k) = state < 0.6 * 2^32;
end
assert(nnz(A) == 771);
deleted = [166 178 187 208 215 220 234 237 245 248 281 282 311 314 319 323 ...
           329 331 344 366 375 410 417 448 451 452 461 462 463 472 473 488 ...
           491 510 542 545 546 560 566 570 584 585 587 597 609 617 619 646 ...
           677 701 729 737 758 759 770 859 863 868 871 875 881 884 894 899 ...
           908 911 953 955 956 968 991 1003 1027 1073 1077 1085 1095 1096 1111 1112 ...
           1124 1135 1136 1138 1147 1148];
expected = A;
expected(deleted) = false;
B = thin_volume(A);
assert(islogical(B) && isequal(B, expected));
assert(nnz(A) == 771);  % the input is left alone
end

function count_errors
in_msg = 'This function accepts exactly 1 input argument - a binary 3D matrix!';
out_msg = 'This function has exactly 1 output argument - a binary 3D matrix!';
A = true(3, 3, 3);
expect_error(@() thin_volume(), '', in_msg);
expect_error(@() thin_volume(A, A), '', in_msg);
expect_error(@() thin_volume(A), '', out_msg, 0);
expect_error(@() thin_volume(A), '', out_msg, 2);
end

function validation_errors
expect_error(@() thin_volume(double(true(3, 3, 3))), 'thin_volume:notLogical', 'The input matrix must be logical!');
expect_error(@() thin_volume(uint8(ones(3, 3, 3))), 'thin_volume:notLogical', 'The input matrix must be logical!');
expect_error(@() thin_volume(true(3, 3)), 'thin_volume:not3D', 'The input matrix must be 3D!');
expect_error(@() thin_volume(true(3, 3, 3, 2)), 'thin_volume:not3D', 'The input matrix must be 3D!');
expect_error(@() thin_volume(sparse(true(3, 3))), 'thin_volume:not3D', 'The input matrix must be 3D!');
expect_error(@() thin_volume(double(true(3, 3))), 'thin_volume:not3D', 'The input matrix must be 3D!');
end
